#include "platform/x11/front_window.hpp"

#include <X11/Xatom.h>

namespace tollivane::platform::x11 {

FrontWindow::FrontWindow(Display* display, WindowEventMasks& masks, bool underWayland)
    : display_(display),
      masks_(masks),
      root_(DefaultRootWindow(display)),
      underWayland_(underWayland),
      netActiveWindow_(XInternAtom(display, "_NET_ACTIVE_WINDOW", False)) {
  masks_.select(root_, kRootEvents);
}

FrontWindow::~FrontWindow() {
  watchFocusOf(0);
  masks_.deselect(root_, kRootEvents);
}

void FrontWindow::onRootPropertyChanged(Atom property) {
  if (property == netActiveWindow_) activeWindowStale_ = true;
}

void FrontWindow::onFocusChanged(int detail) {
  // In PointerRoot mode the pointer's travels send these too, yet the focus stays PointerRoot.
  if (detail != NotifyPointer) focusStale_ = true;
}

// Nothing when the property is missing or not a window; 0 when it is None.
std::optional<Window> FrontWindow::readActiveWindow() {
  Atom type = None;
  int format = 0;
  unsigned long items = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::optional<Window> window;
  if (XGetWindowProperty(display_, root_, netActiveWindow_, 0, 1, False, XA_WINDOW, &type, &format,
                         &items, &after, &data) == Success &&
      type == XA_WINDOW && format == 32 && items == 1) {
    window = static_cast<Window>(*reinterpret_cast<unsigned long*>(data));
  }
  if (data) XFree(data);
  return window;
}

Window FrontWindow::readFocus() {
  Window window = None;
  int revertTo = 0;
  XGetInputFocus(display_, &window, &revertTo);
  return window == static_cast<Window>(PointerRoot) ? 0 : window;
}

void FrontWindow::watchFocusOf(Window window) {
  if (window == root_) window = 0;  // the root's focus events are always selected
  if (window == watched_) return;
  masks_.deselect(watched_, FocusChangeMask);
  masks_.select(window, FocusChangeMask);
  watched_ = window;
}

// The window that has the focus always gets a FocusOut when it loses it, also when it is
// unmapped or destroyed; so watching it and the root is enough to know the focus is unchanged.
void FrontWindow::refreshFocus() {
  focusStale_ = false;
  for (int tries = 0; tries < 3; ++tries) {
    focus_ = readFocus();
    watchFocusOf(focus_);
    // Selected only after the answer: a change in between went unseen, so ask once more.
    if (readFocus() == focus_) return;
  }
  focusStale_ = true;
}

Window FrontWindow::current() {
  if (activeWindowStale_) {
    const std::optional<Window> active = readActiveWindow();
    activeWindow_ = active.value_or(0);
    activeWindowPublished_ = active.has_value();
    activeWindowStale_ = false;
    // Published afresh: the server hands a window id out again once its client has gone, so
    // a restarted game may well have the id we found destroyed.
    goneActiveWindow_ = 0;
  }
  if (activeWindow_ != 0 && activeWindow_ != goneActiveWindow_) return activeWindow_;
  // A compositor that says None has a native window in front, and parks the X focus on a
  // hidden window of its own.
  if (underWayland_ && activeWindowPublished_ && activeWindow_ == 0) return 0;
  if (focusStale_) refreshFocus();
  // The focus on none of the server's windows: a native window has it.
  if (underWayland_ && focus_ == root_) return 0;
  return focus_;
}

void FrontWindow::windowGone(Window window) {
  if (window != 0 && window == activeWindow_) goneActiveWindow_ = activeWindow_;
  if (window != 0 && window == focus_) focusStale_ = true;
}

}  // namespace tollivane::platform::x11
