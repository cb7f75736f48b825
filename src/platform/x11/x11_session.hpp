// Tollivane's own connection to the X server, apart from the toolkit's: the global key state
// and the drawing on the window in front. Free of Xlib's headers, whose macros clash with
// toolkits'.
#pragma once

#include <chrono>
#include <memory>

#include "platform/chosen_surface.hpp"

struct _XDisplay;

namespace tollivane::platform::x11 {

class GamescopeOverlay;
class WindowEventMasks;
class X11KeyState;
class X11OverlayWindow;
class X11Surface;

class X11Session {
 public:
  // How long a server may stay silent before it counts as not there.
  static constexpr std::chrono::seconds kDisplayPatience{5};

  // nullptr when no X server can be reached (for example a Wayland session without XWayland)
  // or when it does not answer within kDisplayPatience.
  static std::unique_ptr<X11Session> open(const char* displayName = nullptr);
  ~X11Session();
  X11Session(const X11Session&) = delete;
  X11Session& operator=(const X11Session&) = delete;

  // Readable when events wait; then call processPendingEvents.
  int connectionFd() const;
  // Handles every event that has arrived (raw key presses and releases, keyboard mapping
  // changes, the window manager's active window, focus changes). Never blocks.
  void processPendingEvents();
  // Waits until the server has handled everything sent so far, then handles the events it
  // sent before. For tests and probes: the program itself never waits for the server.
  void sync();

  // The system's parts, which the program joins into its machine (machine_assembly.hpp).
  platform::KeyState& keys();
  // Straight onto the window in front.
  platform::DirectSurface& direct();
  // The window of our own, null when the server cannot shape windows.
  platform::OwnWindowSurface* ownWindow();
  X11OverlayWindow* overlayWindow();
  // In gamescope (told from the environment, gamescope_mode.hpp) the window of our own is
  // gamescope's outside overlay, and every frame goes to it: nothing drawn onto the game is
  // seen there.
  bool inGamescope() const { return gamescope_ != nullptr; }
  GamescopeOverlay* gamescopeOverlay() { return gamescope_.get(); }
  // Straight onto the window in front, for tests.
  X11Surface& directSurface() { return *foreground_; }

  // X errors on this connection so far, each trapped and ignored (it costs one frame).
  unsigned long trappedErrors() const;

  // Call after the toolkit has opened its own connection: Xlib's error handlers are global,
  // and the toolkit's replace ours.
  void reclaimErrorHandlers();

 private:
  explicit X11Session(_XDisplay* display);
  void handleEvents(bool readSocket);
  void openGamescopeOverlay();

  _XDisplay* display_;
  int xinputOpcode_ = -1;
  int xkbEventBase_ = -1;
  std::unique_ptr<WindowEventMasks> masks_;
  std::unique_ptr<X11KeyState> keyState_;
  std::unique_ptr<X11Surface> foreground_;
  std::unique_ptr<X11OverlayWindow> overlay_;
  // Gamescope's first server when it is not display_; the overlay is drawn there.
  _XDisplay* overlayDisplay_ = nullptr;
  std::unique_ptr<GamescopeOverlay> gamescope_;
};

}  // namespace tollivane::platform::x11
