// The tick schedule of a periodic timer, locked to the phase of a monotonic clock: tick k is
// due at start + k * period, however late the one before it was delivered. Times are counts of
// the front end's clock (nanoseconds, performance-counter counts).
#pragma once

#include <cstdint>

namespace tollivane::app {

class TickSchedule {
 public:
  // `period` in counts; a period of 0 never ticks.
  void start(std::int64_t now, std::int64_t period) {
    period_ = period;
    next_ = now + period;
  }

  // The timer woke at `now`: true when a tick is due. However many phase points have passed,
  // they make one tick, and the next is the first phase point after `now`.
  bool wake(std::int64_t now) {
    if (period_ <= 0 || now < next_) return false;
    next_ += ((now - next_) / period_ + 1) * period_;
    return true;
  }

  // The phase point the next tick is due at.
  std::int64_t next() const { return next_; }
  // The phase point just before next(): the one the latest tick stood for.
  std::int64_t previous() const { return next_ - period_; }

  // Whole milliseconds from `now` to the next phase point, never negative; rounded up, since a
  // wake before the phase point would only have to sleep again.
  std::int64_t millisecondsUntilNext(std::int64_t now, std::int64_t countsPerSecond) const {
    if (next_ <= now) return 0;
    const std::int64_t counts = next_ - now;
    // Whole seconds apart, so that a long period at a fine clock cannot overflow.
    return counts / countsPerSecond * 1000 +
           ((counts % countsPerSecond) * 1000 + countsPerSecond - 1) / countsPerSecond;
  }

 private:
  std::int64_t period_ = 0;
  std::int64_t next_ = 0;
};

}  // namespace tollivane::app
