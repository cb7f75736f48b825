// The hotkey poller: which of the three bindings fires in this tick, if any.
#pragma once

#include <array>
#include <cstdint>

#include "platform/platform.hpp"

namespace tollivane::stopwatch {

enum class HotkeyAction { None, Start, Pause, Stop };

// Tests bindings 1..3 in order, querying each modifier the mask selects (Shift, Ctrl, Alt)
// and then the key, afresh; a binding fires when the AND of its states is nonzero, and
// the first that fires wins. A mask outside 0..7 skips its binding unqueried.
HotkeyAction pollHotkeys(platform::KeyState& keys, const std::array<std::int16_t, 3>& codes,
                         const std::array<std::int16_t, 3>& shifts);

}  // namespace tollivane::stopwatch
