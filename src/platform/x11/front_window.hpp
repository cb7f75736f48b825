// Which window is in front: the one the window manager publishes, else the one with the X
// focus. Both are read again only after an event said they changed, so most frames make no
// round trip.
#pragma once

#include <optional>

#include <X11/Xlib.h>

#include "platform/x11/window_event_masks.hpp"

namespace tollivane::platform::x11 {

class FrontWindow {
 public:
  // `underWayland`: the server is XWayland, and a native Wayland window is in front whenever
  // none of the server's windows is.
  FrontWindow(Display* display, WindowEventMasks& masks, bool underWayland);
  ~FrontWindow();
  FrontWindow(const FrontWindow&) = delete;
  FrontWindow& operator=(const FrontWindow&) = delete;

  // The window in front, or 0 for none of the server's.
  Window current();
  void onRootPropertyChanged(Atom property);
  // A focus event on the root or on the window that has the focus.
  void onFocusChanged(int detail);
  // The window was found destroyed: the next question asks which window is in front now.
  void windowGone(Window window);

 private:
  std::optional<Window> readActiveWindow();
  Window readFocus();
  void refreshFocus();
  void watchFocusOf(Window window);

  // Focus events on the root tell of every change to and from "no window" and PointerRoot.
  static constexpr long kRootEvents = PropertyChangeMask | FocusChangeMask;

  Display* display_;
  WindowEventMasks& masks_;
  Window root_;
  bool underWayland_;
  Atom netActiveWindow_;
  bool activeWindowStale_ = true;
  Window activeWindow_ = 0;
  bool activeWindowPublished_ = false;  // 0 above is None, not a missing property
  Window goneActiveWindow_ = 0;  // published but found destroyed: passed over until published again
  bool focusStale_ = true;
  Window focus_ = 0;
  Window watched_ = 0;  // the focus window whose FocusOut we listen for, 0 for none
};

}  // namespace tollivane::platform::x11
