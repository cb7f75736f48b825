#include "frontend/qt/qt_timer.hpp"

#include <utility>

namespace tollivane::frontend::qt {

QtTimer::QtTimer(std::function<void()> onTick, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &QtTimer::wake);
}

void QtTimer::setInterval(int milliseconds) {
  interval_ = milliseconds;
  if (enabled_) restart();
}

void QtTimer::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  restart();
}

void QtTimer::restart() {
  timer_.stop();
  if (!enabled_ || interval_ <= 0) return;
  const auto now = PhaseClock::Clock::now();
  phase_.start(now, std::chrono::milliseconds(interval_));
  timer_.start(phase_.untilNext(now));
}

void QtTimer::wake() {
  const auto now = PhaseClock::Clock::now();
  const bool due = phase_.wake(now);
  // Armed before the handler runs, which may switch this very timer off or on again.
  timer_.start(phase_.untilNext(now));
  if (due) onTick_();
}

}  // namespace tollivane::frontend::qt
