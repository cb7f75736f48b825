// Virtual time and the timers that run on it: nothing ticks until a test advances the clock.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "app/window_controls.hpp"
#include "platform/platform.hpp"

namespace tollivane::frontend::sim {

class SimClock;

class SimTimer : public app::Timer {
 public:
  // Timers made earlier tick first when due at the same instant.
  explicit SimTimer(SimClock& clock);
  ~SimTimer() override;
  SimTimer(const SimTimer&) = delete;
  SimTimer& operator=(const SimTimer&) = delete;

  void setInterval(int milliseconds) override;
  void setEnabled(bool on) override;
  bool enabled() const override { return enabled_; }
  int interval() const override { return interval_; }

  // Runs at each tick; set by whoever wires the timer to its handler.
  std::function<void()> onTick;

  // Ticks delivered so far.
  std::uint64_t ticks() const { return ticks_; }
  // When the next tick is due, in virtual milliseconds; meaningful only while it ticks.
  std::int64_t nextDue() const { return due_; }
  bool ticking() const { return enabled_ && interval_ > 0; }

 private:
  friend class SimClock;
  SimClock& clock_;
  int interval_ = 0;
  bool enabled_ = false;
  std::int64_t due_ = 0;
  std::uint64_t ticks_ = 0;
};

class SimClock {
 public:
  SimClock() = default;
  SimClock(const SimClock&) = delete;
  SimClock& operator=(const SimClock&) = delete;

  // Virtual milliseconds since the clock was made.
  std::int64_t now() const { return now_; }

  // Moves time on by `milliseconds`, running every tick that falls due on the way in time
  // order. A tick due exactly at the end runs.
  void advance(std::int64_t milliseconds);

  // The program ended: every timer is switched off and no tick runs again.
  void stopAll();
  bool stopped() const { return stopped_; }

 private:
  friend class SimTimer;
  std::vector<SimTimer*> timers_;
  std::int64_t now_ = 0;
  bool stopped_ = false;
};

}  // namespace tollivane::frontend::sim
