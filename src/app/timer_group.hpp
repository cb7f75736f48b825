// Timers over one system timer, phase-locked: a late tick does not push the following ones
// back, and ticks missed while the thread was busy arrive as one. Timers of one group share one
// wakeup when they fall due at the same phase point.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "app/system_timer.hpp"
#include "app/tick_schedule.hpp"
#include "app/window_controls.hpp"

namespace tollivane::app {

class GroupTimer;

// Ticks due together run in one wakeup, the earliest phase point first and, at the same point,
// the timer made first; a timer switched on by a handler counts its interval from the phase
// point that handler serves, so that a 100 ms timer started by a 200 ms one lands on the same
// points.
class TimerGroup {
 public:
  explicit TimerGroup(SystemTimer& system);
  ~TimerGroup();
  TimerGroup(const TimerGroup&) = delete;
  TimerGroup& operator=(const TimerGroup&) = delete;

  // Every timer off for good: none ticks or switches on again, and the system timer sleeps.
  void halt();
  bool halted() const { return halted_; }

  // How often the system timer was set going: when a timer changes or a wakeup came late,
  // not at every tick, since it repeats while the phase points fall on one period.
  int armings() const { return armings_; }
  // How often the system timer woke it.
  int wakeups() const { return wakeups_; }

 private:
  friend class GroupTimer;
  // While a handler runs, the phase point it serves.
  std::int64_t now() const;
  // A timer changed: the system timer wakes at the next phase point.
  void rearm();
  // After a wakeup at `woke` (0: none), on time when no timer skipped a phase point.
  void arm(std::int64_t woke, bool onTime);
  // The period on which the phase points of all ticking timers fall, the first of them at
  // `next`, so that a system timer repeating at it wakes for each and for nothing else; 0
  // when there is none.
  std::int64_t commonPeriod(std::int64_t next) const;
  void wake();

  SystemTimer& system_;
  std::vector<GroupTimer*> timers_;  // in the order they were made
  bool serving_ = false;
  bool halted_ = false;
  std::int64_t servedPoint_ = 0;
  std::int64_t repeat_ = 0;    // the period the system timer repeats at; 0: single-shot
  std::int64_t expected_ = 0;  // the phase point it wakes for next
  int armings_ = 0;
  int wakeups_ = 0;
  // Cleared when the group goes while one of its handlers runs.
  bool* alive_ = nullptr;
};

class GroupTimer final : public Timer {
 public:
  explicit GroupTimer(TimerGroup& group, std::function<void()> onTick = {});
  ~GroupTimer() override;
  GroupTimer(const GroupTimer&) = delete;
  GroupTimer& operator=(const GroupTimer&) = delete;

  void setOnTick(std::function<void()> onTick) { onTick_ = std::move(onTick); }
  void setInterval(int milliseconds) override;
  void setEnabled(bool on) override;
  bool enabled() const override { return enabled_; }
  int interval() const override { return interval_; }
  // Ticks delivered so far.
  std::uint64_t ticks() const { return ticks_; }

 private:
  friend class TimerGroup;
  void restart();
  bool ticking() const { return enabled_ && interval_ > 0; }
  std::int64_t period() const { return std::int64_t{interval_} * 1'000'000; }

  TimerGroup& group_;
  std::function<void()> onTick_;
  TickSchedule phase_;
  std::uint64_t ticks_ = 0;
  int interval_ = 0;
  bool enabled_ = false;
  bool due_ = false;  // due in the wakeup that is running
};

}  // namespace tollivane::app
