#include "frontend/qt/display_setup.hpp"

#include <cstdio>
#include <cstdlib>

#include "frontend/qt/display_choice.hpp"
#include "frontend/qt/qt_start_guard.hpp"

namespace tollivane::frontend::qt {

DisplaySetup setUpDisplay(const QtOptions& options) {
  // Qt takes its options over the environment: so does everything that reads it here.
  if (options.display) setenv("DISPLAY", options.display->c_str(), 1);
  if (options.platform) setenv("QT_QPA_PLATFORM", options.platform->c_str(), 1);
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
