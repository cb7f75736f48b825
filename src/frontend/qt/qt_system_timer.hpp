// The system timer of a timer group on Qt's event loop.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>

#include "app/system_timer.hpp"

namespace tollivane::frontend::qt {

// A timer of the object itself rather than a QTimer: a wakeup then comes as one timer event,
// without QTimer's signal and the connection behind it.
class QtSystemTimer final : public QObject, public app::SystemTimer {
 public:
  ~QtSystemTimer() override { cancel(); }

  void setOnDue(std::function<void()> onDue) override { onDue_ = std::move(onDue); }
  std::int64_t now() const override;
  void arm(std::int64_t milliseconds) override { start(milliseconds, true); }
  // Qt keeps a repeating precise timer on its first timeout's grid.
  void repeat(std::int64_t milliseconds) override { start(milliseconds, false); }
  void cancel() override;

 protected:
  void timerEvent(QTimerEvent* event) override;

 private:
  void start(std::int64_t milliseconds, bool once);

  int id_ = 0;
  bool once_ = false;
  std::function<void()> onDue_;
};

}  // namespace tollivane::frontend::qt
