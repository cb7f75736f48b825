// The one pad vocabulary: game-controller buttons as XInput's button bits, on every system. A
// pad binding is the sum of one or two of them; each pad adapter maps its own buttons here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tollivane::pad {

// One pad's buttons, or a pad binding: a sum of the bits below.
using PadButtons = std::uint32_t;

struct PadButton {
  PadButtons bit;
  std::string_view name;
};

// In the order a chord's text names them.
inline constexpr std::array<PadButton, 16> kButtons{{
    {0x0001, "Up"},
    {0x0002, "Down"},
    {0x0004, "Left"},
    {0x0008, "Right"},
    {0x0010, "Menu"},
    {0x0020, "View"},
    {0x0040, "L3"},
    {0x0080, "R3"},
    {0x0100, "L1"},
    {0x0200, "R1"},
    {0x1000, "A"},
    {0x2000, "B"},
    {0x4000, "X"},
    {0x8000, "Y"},
    // The triggers, each once pressed past half way.
    {0x10000, "L2"},
    {0x20000, "R2"},
}};

inline constexpr PadButtons kAllButtons = [] {
  PadButtons all = 0;
  for (const PadButton& b : kButtons) all |= b.bit;
  return all;
}();

// Pads read at once; XInput's own limit.
inline constexpr std::size_t kMaxPads = 4;

// A binding that can fire: one or two of the buttons above and nothing else. Asked at every
// poll, most often of no binding at all: inline, and no bit counting.
constexpr bool isPadBinding(PadButtons buttons) {
  if (buttons == 0 || (buttons & ~kAllButtons) != 0) return false;
  const PadButtons rest = buttons & (buttons - 1);  // without its lowest button
  return (rest & (rest - 1)) == 0;
}

// The buttons joined by "+" in the order of kButtons ("View+A"); empty for 0. Only for
// buttons of the vocabulary: other bits are left out.
std::string padButtonsText(PadButtons buttons);

// What a capture control shows for a pad binding: "Pad View+A"; empty for 0, and for a binding
// that cannot fire, "Pad ?".
std::string padBindingText(PadButtons buttons);

// The button of that name (as kButtons spells it), or nothing.
std::optional<PadButtons> padButtonNamed(std::string_view name);

}  // namespace tollivane::pad
