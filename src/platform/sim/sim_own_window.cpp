#include "platform/sim/sim_own_window.hpp"

namespace tollivane::platform::sim {

WindowHandle SimOwnWindow::GetForegroundWindow() {
  drawn_.GetForegroundWindow();
  return desktop_.foreground();
}

DeviceContext SimOwnWindow::GetDC(WindowHandle window) {
  // A window that refuses contexts has no place for ours to stand over either.
  drawn_.setContextsAvailable(desktop_.contextsAvailable());
  return drawn_.GetDC(window);
}

void SimOwnWindow::hide() { ++hides_; }

}  // namespace tollivane::platform::sim
