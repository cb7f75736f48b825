#include "frontend/qt/qt_system_timer.hpp"

#include <chrono>

namespace tollivane::frontend::qt {

QtSystemTimer::QtSystemTimer() {
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
    if (onDue_) onDue_();
  });
}

std::int64_t QtSystemTimer::now() const {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void QtSystemTimer::arm(std::int64_t milliseconds) {
  timer_.setSingleShot(true);
  timer_.start(std::chrono::milliseconds(milliseconds));
}

void QtSystemTimer::repeat(std::int64_t milliseconds) {
  timer_.setSingleShot(false);
  timer_.start(std::chrono::milliseconds(milliseconds));
}

}  // namespace tollivane::frontend::qt
