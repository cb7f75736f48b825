// The hotkey poller: which of the three bindings fires in this tick, if any.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "common/pad_buttons.hpp"
#include "platform/platform.hpp"

namespace tollivane::stopwatch {

enum class HotkeyAction { None, Start, Pause, Stop };

// Tests bindings 1..3 in order, querying each modifier the mask selects (Shift, Ctrl, Alt)
// and then the key, afresh; a binding fires when the AND of its states is nonzero, and
// the first that fires wins. A mask outside 0..7 skips its binding unqueried.
HotkeyAction pollHotkeys(platform::KeyState& keys, const std::array<std::int16_t, 3>& codes,
                         const std::array<std::int16_t, 3>& shifts);

// The same, with a pad binding beside each key binding: binding i fires when its keys do, or
// when one of `padStates` (each pad's buttons down now or pressed since the last poll) holds every
// button of pad binding i and that is a binding that can fire. Keys are queried exactly as
// above.
HotkeyAction pollHotkeys(platform::KeyState& keys, const std::array<std::int16_t, 3>& codes,
                         const std::array<std::int16_t, 3>& shifts,
                         const std::array<pad::PadButtons, 3>& padBindings,
                         std::span<const pad::PadButtons> padStates);

// Whether any pad binding can fire, so that the pads are worth reading.
bool anyPadBinding(const std::array<pad::PadButtons, 3>& padBindings);

}  // namespace tollivane::stopwatch
