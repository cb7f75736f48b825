// The words of a hotkey's text: the modifier prefix and the name of the key.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tollivane::controls {

struct ModifierWords {
  std::string_view control;
  std::string_view alt;
  std::string_view shift;
  std::string_view add;  // written after every modifier word
};

// The prefix for a modifier mask (1 Shift, 2 Ctrl, 4 Alt), e.g. "CTRL+ALT+" for 6.
// Ctrl comes first; mask 5 writes Alt before Shift, mask 7 Shift before Alt.
// A mask outside 0..7 has no prefix.
std::string modifierPrefix(std::int16_t shift, const ModifierWords& words);

// The name of a key of code greater than 18: "F5", "Num'+'", "A", "7", or "[186]" for a
// key without a name.
std::string keyName(std::int16_t keyCode);

}  // namespace tollivane::controls
