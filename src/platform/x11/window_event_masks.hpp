// The events our connection selects on windows we do not own. X keeps one mask per client and
// window, and each XSelectInput replaces it whole; so every part of the backend that listens to
// a window goes through here, and the server always gets the union of what they want.
#pragma once

#include <vector>

#include "platform/platform.hpp"

#include <X11/Xlib.h>

namespace tollivane::platform::x11 {

class WindowEventMasks {
 public:
  explicit WindowEventMasks(Display* display);

  // Each select is undone by one deselect of the same window and mask.
  void select(Window window, long mask);
  void deselect(Window window, long mask);
  // The window is destroyed: forget it without asking the server anything.
  void forget(Window window);
  // What the server has been asked to send us for `window`.
  long selected(Window window) const;

 private:
  struct Use {
    Window window;
    long mask;
    int count;
  };
  void apply(Window window);

  Display* display_;
  std::vector<Use> uses_;
};

}  // namespace tollivane::platform::x11
