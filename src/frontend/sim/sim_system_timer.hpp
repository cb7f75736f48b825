// A window's system timer on the simulated machine's virtual time: it wakes exactly when due,
// so no tick is ever late.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "app/system_timer.hpp"
#include "platform/sim/sim_clock.hpp"

namespace tollivane::frontend::sim {

class SimSystemTimer final : public app::SystemTimer {
 public:
  explicit SimSystemTimer(platform::sim::SimClock& clock) : clock_(clock), ticker_(clock) {
    ticker_.onTick = [this] {
      if (!repeating_) ticker_.setEnabled(false);
      if (onDue_) onDue_();
    };
  }

  void setOnDue(std::function<void()> onDue) override { onDue_ = std::move(onDue); }
  std::int64_t now() const override { return clock_.now() * 1'000'000; }
  // Wakes on time, so the group never asks for a wakeup at once; 1 ms stands in for it.
  void arm(std::int64_t milliseconds) override {
    start(milliseconds < 1 ? 1 : milliseconds, false);
  }
  void repeat(std::int64_t milliseconds) override { start(milliseconds, true); }
  void cancel() override { ticker_.setEnabled(false); }

 private:
  void start(std::int64_t milliseconds, bool repeating) {
    repeating_ = repeating;
    ticker_.setEnabled(false);
    ticker_.setInterval(static_cast<int>(milliseconds));
    ticker_.setEnabled(true);
  }

  platform::sim::SimClock& clock_;
  platform::sim::SimTicker ticker_;
  std::function<void()> onDue_;
  bool repeating_ = false;
};

}  // namespace tollivane::frontend::sim
