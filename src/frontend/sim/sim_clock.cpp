#include "frontend/sim/sim_clock.hpp"

#include <vector>

namespace tollivane::frontend::sim {

SimTimer::SimTimer(SimClock& clock) : clock_(clock) { clock_.timers_.push_back(this); }

SimTimer::~SimTimer() { std::erase(clock_.timers_, this); }

void SimTimer::setInterval(int milliseconds) {
  interval_ = milliseconds;
  if (enabled_) due_ = clock_.now_ + interval_;
}

void SimTimer::setEnabled(bool on) {
  if (clock_.stopped_) return;
  if (on && !enabled_) due_ = clock_.now_ + interval_;
  enabled_ = on;
}

void SimClock::advance(std::int64_t milliseconds) {
  const std::int64_t end = now_ + (milliseconds > 0 ? milliseconds : 0);
  while (!stopped_) {
    SimTimer* next = nullptr;
    for (SimTimer* timer : timers_) {
      if (timer->ticking() && timer->due_ <= end && (!next || timer->due_ < next->due_)) {
        next = timer;
      }
    }
    if (!next) break;
    now_ = next->due_;
    next->due_ += next->interval_;
    ++next->ticks_;
    if (next->onTick) next->onTick();
  }
  now_ = end;
}

void SimClock::stopAll() {
  for (SimTimer* timer : timers_) timer->enabled_ = false;
  stopped_ = true;
}

}  // namespace tollivane::frontend::sim
