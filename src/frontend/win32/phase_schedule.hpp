// The tick schedule of a periodic timer in QueryPerformanceCounter counts: tick k is due at
// start + k * period, however late the one before it was delivered.
#pragma once

#include <cstdint>

namespace tollivane::frontend::win32 {

class PhaseSchedule {
 public:
  // `period` in counts, > 0.
  void start(std::int64_t now, std::int64_t period) {
    period_ = period;
    next_ = now + period;
  }
  // The timer woke at `now`: true when a tick is due. Phase points missed while busy make one
  // tick, and the next is the first phase point after `now`.
  bool wake(std::int64_t now) {
    if (now < next_) return false;
    next_ += ((now - next_) / period_ + 1) * period_;
    return true;
  }
  std::int64_t next() const { return next_; }
  // Counts from `now` to the next phase point, never negative.
  std::int64_t untilNext(std::int64_t now) const { return next_ > now ? next_ - now : 0; }

 private:
  std::int64_t period_ = 1;
  std::int64_t next_ = 0;
};

}  // namespace tollivane::frontend::win32
