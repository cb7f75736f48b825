#include "controls/hotkey_capture/pad_capture.hpp"

#include <bit>

namespace tollivane::controls {

std::optional<pad::PadButtons> PadCapture::next(std::span<const pad::PadButtons> pads,
                                                pad::PadButtons current) {
  std::optional<pad::PadButtons> made;
  for (std::size_t i = 0; i < last_.size(); ++i) {
    const pad::PadButtons now = i < pads.size() ? pads[i] & pad::kAllButtons : 0;
    const pad::PadButtons held = now & last_[i];
    const pad::PadButtons pressed = now & ~last_[i];
    last_[i] = now;
    if (made || pressed == 0) continue;
    const int heldCount = std::popcount(held);
    const int pressedCount = std::popcount(pressed);
    if (heldCount == 1 && pressedCount == 1) {
      made = held | pressed;
    } else if (heldCount == 0 && pressedCount == 1) {
      made = pressed == current ? 0 : pressed;
    } else if (heldCount == 0 && pressedCount == 2) {
      // Both went down between two readings: the chord at once.
      made = pressed;
    }
    // More buttons than a binding holds: no binding is made of them.
  }
  return made;
}

}  // namespace tollivane::controls
