// Platform timers on Qt's event loop, phase-locked: a late tick does not push the following
// ones back, and ticks missed while the thread was busy arrive as one. Timers of one group
// share one wakeup when they fall due at the same phase point.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/tick_schedule.hpp"
#include "app/window_controls.hpp"
#include "platform/platform.hpp"

namespace tollivane::frontend::qt {

class QtTimer;

// One system timer for all its timers. Ticks due together run in one wakeup, the earliest
// phase point first and, at the same point, the timer made first; a timer switched on by a
// handler counts its interval from the phase point that handler serves, so that a 100 ms
// timer started by a 200 ms one lands on the same points.
class TimerGroup final : public QObject {
  Q_OBJECT
 public:
  TimerGroup();
  ~TimerGroup() override;

  // How often the system timer was set going: when a timer changes or a wakeup came late,
  // not at every tick, since it repeats while the phase points fall on one period.
  int armings() const { return armings_; }
  // How often the system timer woke it.
  int wakeups() const { return wakeups_; }

 private:
  friend class QtTimer;
  // Nanoseconds of the monotonic clock; while a handler runs, the phase point it serves.
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

  QTimer timer_;
  std::vector<QtTimer*> timers_;  // in the order they were made
  bool serving_ = false;
  std::int64_t servedPoint_ = 0;
  std::int64_t repeat_ = 0;    // the period the system timer repeats at; 0: single-shot
  std::int64_t expected_ = 0;  // the phase point it wakes for next
  int armings_ = 0;
  int wakeups_ = 0;
};

class QtTimer final : public app::Timer {
 public:
  // A timer in a group of its own.
  explicit QtTimer(std::function<void()> onTick);
  QtTimer(TimerGroup& group, std::function<void()> onTick);
  ~QtTimer() override;
  QtTimer(const QtTimer&) = delete;
  QtTimer& operator=(const QtTimer&) = delete;

  void setInterval(int milliseconds) override;
  void setEnabled(bool on) override;
  bool enabled() const override { return enabled_; }
  int interval() const override { return interval_; }

 private:
  friend class TimerGroup;
  void restart();
  bool ticking() const { return enabled_ && interval_ > 0; }
  std::int64_t period() const { return std::int64_t{interval_} * 1'000'000; }

  std::unique_ptr<TimerGroup> ownGroup_;
  TimerGroup& group_;
  std::function<void()> onTick_;
  app::TickSchedule phase_;
  int interval_ = 0;
  bool enabled_ = false;
  bool due_ = false;  // due in the wakeup that is running
};

}  // namespace tollivane::frontend::qt
