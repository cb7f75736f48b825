// Windows virtual-key codes as X keysyms, so that bindings stored as virtual keys can be
// looked up on an X keyboard. Punctuation follows the US layout.
#pragma once

#include <cstdint>
#include <span>

namespace tollivane::platform::x11 {

// The keysyms that count as the key `virtualKey` (any of them held means the key is down);
// empty for a code that names no key here. 16, 17 and 18 cover both sides of Shift, Ctrl, Alt.
std::span<const std::uint32_t> keysymsForVirtualKey(int virtualKey);

}  // namespace tollivane::platform::x11
