// The system timer of a timer group on Qt's event loop.
#pragma once

#include <QTimer>
#include <cstdint>
#include <functional>

#include "app/system_timer.hpp"

namespace tollivane::frontend::qt {

class QtSystemTimer final : public app::SystemTimer {
 public:
  QtSystemTimer();

  void setOnDue(std::function<void()> onDue) override { onDue_ = std::move(onDue); }
  std::int64_t now() const override;
  void arm(std::int64_t milliseconds) override;
  // Qt keeps a repeating precise timer on its first timeout's grid.
  void repeat(std::int64_t milliseconds) override;
  void cancel() override { timer_.stop(); }

 private:
  QTimer timer_;
  std::function<void()> onDue_;
};

}  // namespace tollivane::frontend::qt
