// Before Qt starts: Tollivane's own X connection opened where DISPLAY names a server, and Qt
// pointed at the display that chooseDisplay picks for the environment.
#pragma once

#include <memory>

#include "frontend/qt/qt_options.hpp"
#include "platform/x11/x11_session.hpp"

namespace tollivane::frontend::qt {

struct DisplaySetup {
  std::unique_ptr<platform::x11::X11Session> session;  // null: hotkeys and the overlay are off
  bool refused = false;  // no window can open; the reason is on standard error
};

// Sets DISPLAY and QT_QPA_PLATFORM to the options given, then QT_QPA_PLATFORM where the choice
// says so.
DisplaySetup setUpDisplay(const QtOptions& options);

}  // namespace tollivane::frontend::qt
