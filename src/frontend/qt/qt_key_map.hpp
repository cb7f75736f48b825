// Key presses as the capture control expects them: a virtual-key code and a modifier mask
// that includes a modifier being pressed itself.
#pragma once

#include <cstdint>
#include <optional>

namespace tollivane::frontend::qt {

struct KeyDown {
  std::int16_t keyCode;
  std::int16_t shift;
  friend bool operator==(const KeyDown&, const KeyDown&) = default;
};

// The virtual-key code of a Qt key, for events that carry no native key (keypad tells
// the keypad's keys apart). Keys that need Shift on a US layout are not known here.
std::optional<std::int16_t> virtualKeyFromQtKey(int qtKey, bool keypad);

// The mask of Qt's modifiers (Qt::ShiftModifier, ...) plus the key itself.
std::int16_t modifierMaskFromQt(unsigned modifiers, std::int16_t keyCode);

}  // namespace tollivane::frontend::qt
