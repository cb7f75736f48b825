// The Linux program's Qt application, started on the display that setUpDisplay chose and
// sharing the X server with Tollivane's own connection, whose events it hands on as they come.
#pragma once

#include <QApplication>
#include <QSocketNotifier>
#include <memory>
#include <optional>

#include "frontend/qt/qt_start_guard.hpp"
#include "frontend/qt/x11_capture_keys.hpp"
#include "platform/x11/x11_session.hpp"

namespace tollivane::frontend::qt {

class QtApplication {
 public:
  // A platform Qt cannot open ends the program with one line (QtStartGuard). `session` may be
  // null and, if not, outlives this object.
  QtApplication(int& argc, char** argv, platform::x11::X11Session* session, const char* version,
                const char* appId);
  ~QtApplication();
  QtApplication(const QtApplication&) = delete;
  QtApplication& operator=(const QtApplication&) = delete;

 private:
  std::optional<QtStartGuard> starting_;
  QApplication application_;
  std::unique_ptr<X11CaptureKeys> captureKeys_;
  std::unique_ptr<QSocketNotifier> xEvents_;
};

}  // namespace tollivane::frontend::qt
