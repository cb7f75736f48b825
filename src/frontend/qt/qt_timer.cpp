#include "frontend/qt/qt_timer.hpp"

#include <QPointer>
#include <algorithm>
#include <chrono>
#include <utility>

namespace tollivane::frontend::qt {
namespace {

constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;

std::int64_t clockNow() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

TimerGroup::TimerGroup() {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &TimerGroup::wake);
}

TimerGroup::~TimerGroup() = default;

std::int64_t TimerGroup::now() const { return serving_ ? servedPoint_ : clockNow(); }

void TimerGroup::rearm() { arm(0, false); }

std::int64_t TimerGroup::commonPeriod(std::int64_t next) const {
  std::int64_t period = 0;
  for (const QtTimer* t : timers_) {
    if (t->ticking() && (period == 0 || t->period() < period)) period = t->period();
  }
  for (const QtTimer* t : timers_) {
    if (t->ticking() && (t->period() % period != 0 || (t->phase_.next() - next) % period != 0)) {
      return 0;
    }
  }
  return period;
}

void TimerGroup::arm(std::int64_t woke, bool onTime) {
  const QtTimer* first = nullptr;
  for (const QtTimer* t : timers_) {
    if (t->ticking() && (!first || t->phase_.next() < first->phase_.next())) first = t;
  }
  if (!first) {
    timer_.stop();
    repeat_ = 0;
    return;
  }
  const std::int64_t next = first->phase_.next();
  const std::int64_t period = onTime ? commonPeriod(next) : 0;
  // The repeating system timer wakes there anyway: nothing to set.
  if (period != 0 && period == repeat_ && next == expected_ + period) {
    expected_ = next;
    return;
  }
  ++armings_;
  // Repeating from a wakeup this close to the phase point it served: the system timer keeps
  // that lag, never more, and never wakes early. A later wakeup re-arms on the phase point.
  constexpr std::int64_t kRepeatLag = 5'000'000;
  if (period != 0 && woke - (next - period) <= kRepeatLag) {
    timer_.setSingleShot(false);
    timer_.start(std::chrono::milliseconds(period / 1'000'000));
    repeat_ = period;
    expected_ = next;
    return;
  }
  timer_.setSingleShot(true);
  timer_.start(std::chrono::milliseconds(
      first->phase_.millisecondsUntilNext(clockNow(), kNanosecondsPerSecond)));
  repeat_ = 0;
}

void TimerGroup::wake() {
  ++wakeups_;
  const std::int64_t woke = clockNow();
  // A tick left due by an outer wakeup, whose handler opened this nested loop, stays due.
  bool onTime = true;  // no timer skipped a phase point
  for (QtTimer* t : timers_) {
    const std::int64_t due = t->phase_.next();
    if (t->ticking() && t->phase_.wake(woke)) {
      t->due_ = true;
      if (t->phase_.next() - due > t->period()) onTime = false;
    }
  }
  // Armed before any handler runs: one may open a nested event loop, where ticks go on.
  arm(woke, onTime);
  const QPointer<TimerGroup> alive(this);
  const bool outer = !serving_;
  const auto outerPoint = servedPoint_;
  for (;;) {
    QtTimer* next = nullptr;
    for (QtTimer* t : timers_) {
      if (t->due_ && (!next || t->phase_.previous() < next->phase_.previous())) next = t;
    }
    if (!next) break;
    next->due_ = false;
    serving_ = true;
    servedPoint_ = next->phase_.previous();
    next->onTick_();
    if (!alive) return;
  }
  serving_ = !outer;
  servedPoint_ = outerPoint;
}

QtTimer::QtTimer(std::function<void()> onTick)
    : ownGroup_(std::make_unique<TimerGroup>()), group_(*ownGroup_), onTick_(std::move(onTick)) {
  group_.timers_.push_back(this);
}

QtTimer::QtTimer(TimerGroup& group, std::function<void()> onTick)
    : group_(group), onTick_(std::move(onTick)) {
  group_.timers_.push_back(this);
}

QtTimer::~QtTimer() {
  std::erase(group_.timers_, this);
  if (!ownGroup_) group_.rearm();
}

void QtTimer::setInterval(int milliseconds) {
  interval_ = milliseconds;
  if (enabled_) restart();
}

void QtTimer::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  restart();
}

void QtTimer::restart() {
  due_ = false;  // switched off, or on again from now: a tick already due is void
  if (ticking()) phase_.start(group_.now(), period());
  group_.rearm();
}

}  // namespace tollivane::frontend::qt
