// The tick schedule of a periodic timer, locked to the phase of a monotonic clock: tick k
// is due at start + k * interval, whenever the previous one was delivered.
#pragma once

#include <chrono>

namespace tollivane::frontend::qt {

class PhaseClock {
 public:
  using Clock = std::chrono::steady_clock;

  void start(Clock::time_point now, std::chrono::milliseconds interval);

  // The timer woke at `now`: true when a tick is due. However many phase points have
  // passed, they make one tick, and the next is the first phase point after `now`.
  bool wake(Clock::time_point now);

  Clock::time_point nextTick() const { return next_; }
  // The phase point just before nextTick: the one the latest tick stood for.
  Clock::time_point previousTick() const { return next_ - interval_; }
  // How long to sleep from `now` until the next phase point, never negative.
  std::chrono::milliseconds untilNext(Clock::time_point now) const;

 private:
  Clock::time_point next_{};
  Clock::duration interval_{};
};

}  // namespace tollivane::frontend::qt
