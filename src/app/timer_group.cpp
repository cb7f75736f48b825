#include "app/timer_group.hpp"

#include <algorithm>
#include <utility>

namespace tollivane::app {
namespace {

constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
constexpr std::int64_t kNanosecondsPerMillisecond = 1'000'000;

}  // namespace

TimerGroup::TimerGroup(SystemTimer& system) : system_(system) {
  system_.setOnDue([this] { wake(); });
}

TimerGroup::~TimerGroup() {
  if (alive_ != nullptr) *alive_ = false;
  system_.cancel();
  system_.setOnDue({});
}

void TimerGroup::halt() {
  halted_ = true;
  for (GroupTimer* t : timers_) {
    t->enabled_ = false;
    t->due_ = false;
  }
  system_.cancel();
  repeat_ = 0;
}

std::int64_t TimerGroup::now() const { return serving_ ? servedPoint_ : system_.now(); }

void TimerGroup::rearm() { arm(0, false); }

std::int64_t TimerGroup::commonPeriod(std::int64_t next) const {
  std::int64_t period = 0;
  for (const GroupTimer* t : timers_) {
    if (t->ticking() && (period == 0 || t->period() < period)) period = t->period();
  }
  for (const GroupTimer* t : timers_) {
    if (t->ticking() && (t->period() % period != 0 || (t->phase_.next() - next) % period != 0)) {
      return 0;
    }
  }
  return period;
}

void TimerGroup::arm(std::int64_t woke, bool onTime) {
  const GroupTimer* first = nullptr;
  for (const GroupTimer* t : timers_) {
    if (t->ticking() && (!first || t->phase_.next() < first->phase_.next())) first = t;
  }
  if (!first) {
    system_.cancel();
    repeat_ = 0;
    return;
  }
  const std::int64_t next = first->phase_.next();
  // While the system timer repeats, no timer has changed since it was set going (a change
  // re-arms it single-shot), so the phase points still fall on its period.
  const std::int64_t period = !onTime ? 0 : repeat_ != 0 ? repeat_ : commonPeriod(next);
  // The repeating system timer wakes there anyway: nothing to set.
  if (period != 0 && period == repeat_ && next == expected_ + period) {
    expected_ = next;
    return;
  }
  ++armings_;
  // Repeating from a wakeup this close to the phase point it served: the system timer keeps
  // that lag, never more, and never wakes early. A later wakeup re-arms on the phase point.
  constexpr std::int64_t kRepeatLag = 5 * kNanosecondsPerMillisecond;
  if (period != 0 && woke - (next - period) <= kRepeatLag) {
    system_.repeat(period / kNanosecondsPerMillisecond);
    repeat_ = period;
    expected_ = next;
    return;
  }
  system_.arm(first->phase_.millisecondsUntilNext(system_.now(), kNanosecondsPerSecond));
  repeat_ = 0;
}

void TimerGroup::wake() {
  if (halted_) return;
  ++wakeups_;
  const std::int64_t woke = system_.now();
  // A tick left due by an outer wakeup, whose handler opened this nested loop, stays due.
  bool onTime = true;  // no timer skipped a phase point
  for (GroupTimer* t : timers_) {
    const std::int64_t due = t->phase_.next();
    if (t->ticking() && t->phase_.wake(woke)) {
      t->due_ = true;
      if (t->phase_.next() - due > t->period()) onTime = false;
    }
  }
  // Armed before any handler runs: one may open a nested event loop, where ticks go on.
  arm(woke, onTime);
  bool alive = true;
  bool* const outerAlive = std::exchange(alive_, &alive);
  const bool outer = !serving_;
  const auto outerPoint = servedPoint_;
  for (;;) {
    GroupTimer* next = nullptr;
    for (GroupTimer* t : timers_) {
      if (t->due_ && (!next || t->phase_.previous() < next->phase_.previous())) next = t;
    }
    if (!next) break;
    next->due_ = false;
    ++next->ticks_;
    serving_ = true;
    servedPoint_ = next->phase_.previous();
    if (next->onTick_) next->onTick_();
    if (!alive) {
      // Gone while its handler ran: so is every wakeup around this one.
      if (outerAlive != nullptr) *outerAlive = false;
      return;
    }
  }
  alive_ = outerAlive;
  serving_ = !outer;
  servedPoint_ = outerPoint;
}

GroupTimer::GroupTimer(TimerGroup& group, std::function<void()> onTick)
    : group_(group), onTick_(std::move(onTick)) {
  group_.timers_.push_back(this);
}

GroupTimer::~GroupTimer() {
  std::erase(group_.timers_, this);
  if (!group_.halted_) group_.rearm();
}

void GroupTimer::setInterval(int milliseconds) {
  interval_ = milliseconds;
  if (enabled_) restart();
}

void GroupTimer::setEnabled(bool on) {
  if (on == enabled_ || group_.halted_) return;
  enabled_ = on;
  restart();
}

void GroupTimer::restart() {
  due_ = false;  // switched off, or on again from now: a tick already due is void
  if (ticking()) phase_.start(group_.now(), period());
  group_.rearm();
}

}  // namespace tollivane::app
