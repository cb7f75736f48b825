#include "platform/x11/window_event_masks.hpp"

#include <algorithm>

namespace tollivane::platform::x11 {

WindowEventMasks::WindowEventMasks(Display* display) : display_(display) {
  // The root, the focus window and the overlay's target: changing them allocates nothing.
  uses_.reserve(8);
}

long WindowEventMasks::selected(Window window) const {
  long mask = NoEventMask;
  for (const Use& use : uses_) {
    if (use.window == window) mask |= use.mask;
  }
  return mask;
}

void WindowEventMasks::apply(Window window) {
  // A window destroyed meanwhile only costs a trapped error.
  XSelectInput(display_, window, selected(window));
}

void WindowEventMasks::select(Window window, long mask) {
  if (window == 0 || mask == NoEventMask) return;
  const auto same = [&](const Use& use) { return use.window == window && use.mask == mask; };
  if (auto use = std::find_if(uses_.begin(), uses_.end(), same); use != uses_.end()) {
    ++use->count;
    return;
  }
  const long before = selected(window);
  uses_.push_back({window, mask, 1});
  if ((before | mask) != before) apply(window);
}

void WindowEventMasks::deselect(Window window, long mask) {
  const auto same = [&](const Use& use) { return use.window == window && use.mask == mask; };
  auto use = std::find_if(uses_.begin(), uses_.end(), same);
  if (use == uses_.end() || --use->count > 0) return;
  const long before = selected(window);
  uses_.erase(use);
  if (selected(window) != before) apply(window);
}

void WindowEventMasks::forget(Window window) {
  std::erase_if(uses_, [window](const Use& use) { return use.window == window; });
}

}  // namespace tollivane::platform::x11
