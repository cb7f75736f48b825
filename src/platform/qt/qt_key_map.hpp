// Key presses as the capture control expects them: a Windows virtual-key code and a
// modifier mask (1 Shift, 2 Ctrl, 4 Alt) that includes a modifier being pressed itself.
#pragma once

#include <cstdint>
#include <optional>

namespace tollivane::platform::qt {

struct KeyDown {
  std::int16_t keyCode;
  std::int16_t shift;
  friend bool operator==(const KeyDown&, const KeyDown&) = default;
};

// The virtual-key code of an X keysym. Give the keycode's unshifted keysym (group 1,
// level 1), not the typed one, so that Shift+1 is the 1 key. Keypad keysyms map to the
// keypad's own codes whatever the Num Lock state.
std::optional<std::int16_t> virtualKeyFromKeysym(std::uint32_t keysym);

// The virtual-key code of a Qt key, for events that carry no native key (keypad tells
// the keypad's keys apart). Keys that need Shift on a US layout are not known here.
std::optional<std::int16_t> virtualKeyFromQtKey(int qtKey, bool keypad);

// The mask of an X key event's state (the state before this key) plus the key itself.
std::int16_t modifierMaskFromX11State(unsigned state, std::int16_t keyCode);

// The mask of Qt's modifiers (Qt::ShiftModifier, ...) plus the key itself.
std::int16_t modifierMaskFromQt(unsigned modifiers, std::int16_t keyCode);

}  // namespace tollivane::platform::qt
