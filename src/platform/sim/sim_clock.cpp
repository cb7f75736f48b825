#include "platform/sim/sim_clock.hpp"

#include <vector>

namespace tollivane::platform::sim {

SimTicker::SimTicker(SimClock& clock) : clock_(clock) { clock_.tickers_.push_back(this); }

SimTicker::~SimTicker() { std::erase(clock_.tickers_, this); }

void SimTicker::setInterval(int milliseconds) {
  interval_ = milliseconds;
  if (enabled_) due_ = clock_.now_ + interval_;
}

void SimTicker::setEnabled(bool on) {
  if (clock_.stopped_) return;
  if (on && !enabled_) due_ = clock_.now_ + interval_;
  enabled_ = on;
}

void SimClock::advance(std::int64_t milliseconds) {
  const std::int64_t end = now_ + (milliseconds > 0 ? milliseconds : 0);
  while (!stopped_) {
    SimTicker* next = nullptr;
    for (SimTicker* ticker : tickers_) {
      if (ticker->ticking() && ticker->due_ <= end && (!next || ticker->due_ < next->due_)) {
        next = ticker;
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
  for (SimTicker* ticker : tickers_) ticker->enabled_ = false;
  stopped_ = true;
}

}  // namespace tollivane::platform::sim
