// The one system timer a front end lends a timer group: a monotonic clock and a wakeup on the
// user-interface thread, in the toolkit's own way (a Qt timer event, SetTimer, the virtual clock).
#pragma once

#include <cstdint>
#include <functional>

namespace tollivane::app {

class SystemTimer {
 public:
  virtual ~SystemTimer() = default;
  // Runs on the user-interface thread each time the timer falls due; set once, before arming.
  virtual void setOnDue(std::function<void()> onDue) = 0;
  // Nanoseconds of a monotonic clock.
  virtual std::int64_t now() const = 0;
  // Falls due once, `milliseconds` from now and never earlier; replaces any earlier arming.
  virtual void arm(std::int64_t milliseconds) = 0;
  // Falls due every `milliseconds` from now on, each on the grid of the first: a late wakeup
  // does not push the following ones back. Replaces any earlier arming.
  virtual void repeat(std::int64_t milliseconds) = 0;
  virtual void cancel() = 0;
};

}  // namespace tollivane::app
