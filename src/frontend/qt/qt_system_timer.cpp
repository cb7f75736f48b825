#include "frontend/qt/qt_system_timer.hpp"

#include <QTimerEvent>
#include <chrono>

namespace tollivane::frontend::qt {

std::int64_t QtSystemTimer::now() const {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void QtSystemTimer::start(std::int64_t milliseconds, bool once) {
  cancel();
  id_ = startTimer(std::chrono::milliseconds(milliseconds), Qt::PreciseTimer);
  once_ = once;
}

void QtSystemTimer::cancel() {
  if (id_ != 0) killTimer(id_);
  id_ = 0;
}

void QtSystemTimer::timerEvent(QTimerEvent* event) {
  if (event->timerId() != id_) return;
  // Stopped before the handler runs, which may set it going again.
  if (once_) cancel();
  if (onDue_) onDue_();
}

}  // namespace tollivane::frontend::qt
