#include "common/pad_buttons.hpp"

namespace tollivane::pad {

std::string padButtonsText(PadButtons buttons) {
  std::string text;
  for (const PadButton& b : kButtons) {
    if ((buttons & b.bit) == 0) continue;
    if (!text.empty()) text += '+';
    text += b.name;
  }
  return text;
}

std::string padBindingText(PadButtons buttons) {
  if (buttons == 0) return {};
  // A stored value no pad can fire is shown as such, not as the buttons it happens to hold.
  if (!isPadBinding(buttons)) return "Pad ?";
  return "Pad " + padButtonsText(buttons);
}

std::optional<PadButtons> padButtonNamed(std::string_view name) {
  for (const PadButton& b : kButtons) {
    if (b.name == name) return b.bit;
  }
  return std::nullopt;
}

}  // namespace tollivane::pad
