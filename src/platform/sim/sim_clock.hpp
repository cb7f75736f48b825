// Virtual time and the periodic ticks that run on it: nothing ticks until a test advances
// the clock.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace tollivane::platform::sim {

class SimClock;

// A periodic tick. Interval 0 never ticks; setting the interval does not switch it on.
class SimTicker {
 public:
  // Tickers made earlier tick first when due at the same instant.
  explicit SimTicker(SimClock& clock);
  ~SimTicker();
  SimTicker(const SimTicker&) = delete;
  SimTicker& operator=(const SimTicker&) = delete;

  // An enabled ticker starts its period afresh.
  void setInterval(int milliseconds);
  // Enabling an enabled ticker keeps its phase; nothing switches on once the clock stopped.
  void setEnabled(bool on);
  bool enabled() const { return enabled_; }
  int interval() const { return interval_; }

  // Runs at each tick; set by whoever wires the ticker to its handler.
  std::function<void()> onTick;

  // Ticks delivered so far.
  std::uint64_t ticks() const { return ticks_; }
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

  // The program ended: every ticker is switched off and no tick runs again.
  void stopAll();
  bool stopped() const { return stopped_; }

 private:
  friend class SimTicker;
  std::vector<SimTicker*> tickers_;
  std::int64_t now_ = 0;
  bool stopped_ = false;
};

}  // namespace tollivane::platform::sim
