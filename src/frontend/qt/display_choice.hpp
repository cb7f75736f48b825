// Where the Linux program's windows go, decided from the environment before Qt starts. The key
// state and the overlay need an X server; under Wayland the windows go through XWayland when
// there is one, so that all three share it, and without one the windows still work through
// Qt's Wayland support with the hotkeys and the overlay off.
#pragma once

#include <string>

namespace tollivane::frontend::qt {

struct DisplayEnvironment {
  const char* display;         // DISPLAY, or null
  const char* waylandDisplay;  // WAYLAND_DISPLAY, or null
  const char* qpaPlatform;     // QT_QPA_PLATFORM, or null
  bool xOpened;                // Tollivane's own connection to DISPLAY opened
  bool (*qtHasWayland)();      // whether Qt's Wayland support is installed; asked only if needed
};

struct DisplayChoice {
  // Not null: QT_QPA_PLATFORM is set to this before Qt starts.
  const char* qpaPlatform = nullptr;
  // Non-empty: no window can open; start-up stops with this message.
  std::string refusal;
};

// Unset and empty variables count the same.
DisplayChoice chooseDisplay(const DisplayEnvironment& environment);

}  // namespace tollivane::frontend::qt
