#include "frontend/qt/display_setup.hpp"

#include <cstdio>
#include <cstdlib>

#include "frontend/qt/display_choice.hpp"
#include "frontend/qt/qt_start_guard.hpp"

namespace tollivane::frontend::qt {

DisplaySetup setUpDisplay() {
  DisplaySetup setup;
  const char* display = std::getenv("DISPLAY");
  if (display != nullptr && *display != '\0') setup.session = platform::x11::X11Session::open();
  const DisplayChoice choice = chooseDisplay({.display = display,
                                              .waylandDisplay = std::getenv("WAYLAND_DISPLAY"),
                                              .qpaPlatform = std::getenv("QT_QPA_PLATFORM"),
                                              .xOpened = setup.session != nullptr,
                                              .qtHasWayland = qtHasWaylandPlugin});
  if (!choice.refusal.empty()) {
    std::fprintf(stderr, "%s\n", choice.refusal.c_str());
    setup.refused = true;
  } else if (choice.qpaPlatform != nullptr) {
    setenv("QT_QPA_PLATFORM", choice.qpaPlatform, 1);
  }
  return setup;
}

}  // namespace tollivane::frontend::qt
