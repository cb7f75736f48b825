#include "frontend/qt/phase_clock.hpp"

namespace tollivane::frontend::qt {

void PhaseClock::start(Clock::time_point now, std::chrono::milliseconds interval) {
  interval_ = interval;
  next_ = now + interval_;
}

bool PhaseClock::wake(Clock::time_point now) {
  if (now < next_ || interval_ <= Clock::duration::zero()) return false;
  next_ += ((now - next_) / interval_ + 1) * interval_;
  return true;
}

std::chrono::milliseconds PhaseClock::untilNext(Clock::time_point now) const {
  if (next_ <= now) return std::chrono::milliseconds::zero();
  // Rounded up: a wake before the phase point would only have to sleep again.
  return std::chrono::ceil<std::chrono::milliseconds>(next_ - now);
}

}  // namespace tollivane::frontend::qt
