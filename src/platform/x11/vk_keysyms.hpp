// The one table between X keysyms and the virtual-key codes that bindings are stored as:
// the key state watches a code's keysyms, the capture control names a pressed keysym's code.
// Punctuation follows the US layout.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace tollivane::platform::x11 {

// The keysyms that count as the key `virtualKey` (any of them held means the key is down);
// empty for a code that names no key here. Shift, Ctrl and Alt cover both sides.
std::span<const std::uint32_t> keysymsForVirtualKey(int virtualKey);

// The code of a pressed key, from its keycode's unshifted keysym (group 1, level 1), so that
// Shift+1 is the 1 key. Keypad keysyms give the keypad's own codes whatever the Num Lock state.
std::optional<std::int16_t> virtualKeyFromKeysym(std::uint32_t keysym);

// The modifier mask (Shift, Ctrl, Alt bits) of an X event's state; locks are ignored.
std::int16_t modifiersFromX11State(unsigned state);

}  // namespace tollivane::platform::x11
