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

 private:
  friend class QtTimer;
  // Nanoseconds of the monotonic clock; while a handler runs, the phase point it serves.
  std::int64_t now() const;
  void rearm();
  void wake();

  QTimer timer_;
  std::vector<QtTimer*> timers_;  // in the order they were made
  bool serving_ = false;
  std::int64_t servedPoint_ = 0;
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

  std::unique_ptr<TimerGroup> ownGroup_;
  TimerGroup& group_;
  std::function<void()> onTick_;
  app::TickSchedule phase_;
  int interval_ = 0;
  bool enabled_ = false;
  bool due_ = false;  // due in the wakeup that is running
};

}  // namespace tollivane::frontend::qt
