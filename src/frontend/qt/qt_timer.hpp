// A platform timer on Qt's event loop, phase-locked: a late tick does not push the
// following ones back, and ticks missed while the thread was busy arrive as one.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

#include "app/window_controls.hpp"
#include "frontend/qt/phase_clock.hpp"
#include "platform/platform.hpp"

namespace tollivane::frontend::qt {

class QtTimer final : public QObject, public app::Timer {
  Q_OBJECT
 public:
  explicit QtTimer(std::function<void()> onTick, QObject* parent = nullptr);

  void setInterval(int milliseconds) override;
  void setEnabled(bool on) override;
  bool enabled() const override { return enabled_; }
  int interval() const override { return interval_; }

 private:
  void restart();
  void wake();

  std::function<void()> onTick_;
  QTimer timer_;
  PhaseClock phase_;
  int interval_ = 0;
  bool enabled_ = false;
};

}  // namespace tollivane::frontend::qt
