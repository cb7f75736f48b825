#include "frontend/sim/scenario_pads.hpp"

#include <cstdint>
#include <string_view>

#include "common/pad_buttons.hpp"

namespace tollivane::frontend::sim {

namespace {

using platform::sim::SimPads;

// The buttons named after the slot, each by its name in the pad vocabulary.
std::optional<std::uint32_t> buttonsNamed(std::span<const Word> names) {
  std::uint32_t buttons = 0;
  for (const Word& name : names) {
    const auto bit = pad::padButtonNamed(name.text);
    if (!bit) return std::nullopt;
    buttons |= *bit;
  }
  return buttons;
}

}  // namespace

std::optional<bool> padCommand(std::span<const Word> words, SimPads& pads) {
  using Buttons = void (SimPads::*)(std::size_t, std::uint32_t);
  using Plug = void (SimPads::*)(std::size_t);
  struct Command {
    std::string_view word;
    Buttons buttons;  // or
    Plug plug;
  };
  static constexpr Command kCommands[] = {
      {"padin", nullptr, &SimPads::plugIn},  {"padout", nullptr, &SimPads::unplug},
      {"paddown", &SimPads::press, nullptr}, {"padup", &SimPads::release, nullptr},
      {"padtap", &SimPads::tap, nullptr},
  };
  for (const Command& c : kCommands) {
    if (words.empty() || words[0].text != c.word) continue;
    if (words.size() < 2) return false;
    const auto slot = parseNumber<std::size_t>(words[1].text);
    if (!slot || *slot < 1 || *slot > SimPads::kSlots) return false;
    if (c.plug != nullptr) {
      if (words.size() != 2) return false;
      (pads.*c.plug)(*slot);
      return true;
    }
    const auto buttons = buttonsNamed(words.subspan(2));
    if (!buttons || words.size() < 3) return false;
    (pads.*c.buttons)(*slot, *buttons);
    return true;
  }
  return std::nullopt;
}

}  // namespace tollivane::frontend::sim
