// The window in front as both ways of drawing need it: where its client area lies on the
// screen and how big it is. Asked once per window and then kept up to date by the window's
// own structure events, so that a frame never waits for the server.
#pragma once

#include <optional>

#include "platform/x11/window_event_masks.hpp"

namespace tollivane::platform::x11 {

// A client area in screen coordinates.
struct ClientArea {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

class FollowedWindow {
 public:
  FollowedWindow(Display* display, WindowEventMasks& masks);
  ~FollowedWindow();
  FollowedWindow(const FollowedWindow&) = delete;
  FollowedWindow& operator=(const FollowedWindow&) = delete;

  // Follows `window` (0 or the root: the screen) from now on and says where its client area is,
  // and with `sized` how big; nothing when it is gone. Asks the server only for a window not
  // followed yet, or after an event left the answer unknown.
  std::optional<ClientArea> where(Window window, bool sized = true);
  // Whether the followed window is mapped, as far as its events tell; the screen always is.
  bool mapped() const { return target_ == 0 || mapped_; }
  Window window() const { return target_; }

  // The followed window's structure events and the root's; others are ignored. Returns the window
  // when this event says it is destroyed, 0 otherwise.
  Window onEvent(const XEvent& event);

 private:
  void follow(Window window);
  bool ask(bool sized);

  static constexpr long kEvents = StructureNotifyMask;

  Display* display_;
  WindowEventMasks& masks_;
  Window root_;
  Window target_ = 0;  // 0: the screen
  ClientArea screen_;  // as the root's own events last told
  ClientArea area_{};
  bool originStale_ = false;
  bool sizeStale_ = false;
  bool mapped_ = true;
};

}  // namespace tollivane::platform::x11
