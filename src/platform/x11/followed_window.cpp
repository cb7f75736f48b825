#include "platform/x11/followed_window.hpp"

namespace tollivane::platform::x11 {

FollowedWindow::FollowedWindow(Display* display, WindowEventMasks& masks)
    : display_(display),
      masks_(masks),
      root_(DefaultRootWindow(display)),
      screen_{0, 0, DisplayWidth(display, DefaultScreen(display)),
              DisplayHeight(display, DefaultScreen(display))} {
  // A change of resolution (RandR) resizes the root: Xlib's own idea of the screen's size
  // stays as it was at the connection's start.
  masks_.select(root_, kEvents);
}

FollowedWindow::~FollowedWindow() {
  follow(0);
  masks_.deselect(root_, kEvents);
}

void FollowedWindow::follow(Window window) {
  if (window == root_) window = 0;
  if (window == target_) return;
  masks_.deselect(target_, kEvents);
  // Selected before the questions: a change after the answers comes as an event.
  masks_.select(window, kEvents);
  target_ = window;
  mapped_ = true;
  originStale_ = sizeStale_ = window != 0;
}

bool FollowedWindow::ask(bool sized) {
  if (sized && sizeStale_) {
    Window root = 0;
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    if (!XGetGeometry(display_, target_, &root, &x, &y, &width, &height, &border, &depth)) {
      return false;
    }
    area_.width = static_cast<int>(width);
    area_.height = static_cast<int>(height);
    sizeStale_ = false;
  }
  if (originStale_) {
    Window child = 0;
    if (!XTranslateCoordinates(display_, target_, root_, 0, 0, &area_.x, &area_.y, &child)) {
      return false;
    }
    originStale_ = false;
  }
  return true;
}

std::optional<ClientArea> FollowedWindow::where(Window window, bool sized) {
  follow(window);
  if (target_ == 0) return screen_;
  if (ask(sized)) return area_;
  // Gone before we could ask: nothing more will come of it.
  masks_.forget(target_);
  target_ = 0;
  return std::nullopt;
}

Window FollowedWindow::onEvent(const XEvent& event) {
  if (event.type == ConfigureNotify && event.xconfigure.window == root_) {
    screen_.width = event.xconfigure.width;
    screen_.height = event.xconfigure.height;
    return 0;
  }
  if (target_ == 0 || event.xany.window != target_) return 0;
  switch (event.type) {
    case ConfigureNotify:
      area_.width = event.xconfigure.width;
      area_.height = event.xconfigure.height;
      sizeStale_ = false;
      if (event.xconfigure.send_event) {
        // From a window manager that framed the window: the client area's place on the screen.
        area_.x = event.xconfigure.x + event.xconfigure.border_width;
        area_.y = event.xconfigure.y + event.xconfigure.border_width;
        originStale_ = false;
      } else {
        // Relative to a parent that may be a frame: asked again when next needed.
        originStale_ = true;
      }
      break;
    case ReparentNotify:
      originStale_ = true;
      break;
    case MapNotify:
      mapped_ = true;
      break;
    case UnmapNotify:
      mapped_ = false;
      break;
    case DestroyNotify: {
      const Window gone = target_;
      masks_.forget(target_);
      target_ = 0;
      return gone;
    }
    default:
      break;
  }
  return 0;
}

}  // namespace tollivane::platform::x11
