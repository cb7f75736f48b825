#include "frontend/qt/qt_timer.hpp"

#include <QPointer>
#include <algorithm>
#include <utility>

namespace tollivane::frontend::qt {

TimerGroup::TimerGroup() {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &TimerGroup::wake);
}

TimerGroup::~TimerGroup() = default;

PhaseClock::Clock::time_point TimerGroup::now() const {
  return serving_ ? servedPoint_ : PhaseClock::Clock::now();
}

void TimerGroup::rearm() {
  const QtTimer* first = nullptr;
  for (const QtTimer* t : timers_) {
    if (t->ticking() && (!first || t->phase_.nextTick() < first->phase_.nextTick())) first = t;
  }
  if (!first) {
    timer_.stop();
    return;
  }
  timer_.start(first->phase_.untilNext(PhaseClock::Clock::now()));
}

void TimerGroup::wake() {
  const auto woke = PhaseClock::Clock::now();
  // A tick left due by an outer wakeup, whose handler opened this nested loop, stays due.
  for (QtTimer* t : timers_) {
    if (t->ticking() && t->phase_.wake(woke)) t->due_ = true;
  }
  // Armed before any handler runs: one may open a nested event loop, where ticks go on.
  rearm();
  const QPointer<TimerGroup> alive(this);
  const bool outer = !serving_;
  const auto outerPoint = servedPoint_;
  for (;;) {
    QtTimer* next = nullptr;
    for (QtTimer* t : timers_) {
      if (t->due_ && (!next || t->phase_.previousTick() < next->phase_.previousTick())) next = t;
    }
    if (!next) break;
    next->due_ = false;
    serving_ = true;
    servedPoint_ = next->phase_.previousTick();
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
  if (ticking()) phase_.start(group_.now(), std::chrono::milliseconds(interval_));
  group_.rearm();
}

}  // namespace tollivane::frontend::qt
