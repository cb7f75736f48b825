#include "platform/sim/sim_keyboard.hpp"

namespace tollivane::platform::sim {

SimKeyboard::SimKeyboard(const SimClock& clock) : clock_(clock) {}

std::int16_t SimKeyboard::GetAsyncKeyState(std::int16_t keyCode) {
  ++queries_;
  if (!namesKey(keyCode)) return 0;
  const auto code = static_cast<std::size_t>(keyCode);
  return static_cast<std::int16_t>(queryKey(presses_, code, held_[code], now()));
}

void SimKeyboard::hold(std::span<const int> codes) {
  std::array<bool, kHighestCode + 1> down{};
  for (int code : codes) {
    if (!namesKey(code)) continue;
    down[static_cast<std::size_t>(code)] = true;
    if (const std::size_t generic = genericModifierOf(static_cast<std::size_t>(code))) {
      down[generic] = true;
    }
  }
  // A modifier that went down between two queries was down at a moment since the first. Other
  // keys held read only bit 15, as a platform may report them: bit 0 is what a tap sets.
  for (std::size_t code = 1; code <= kHighestCode; ++code) {
    if (down[code] && isModifierKey(code)) presses_.press(code);
  }
  held_ = down;
}

void SimKeyboard::tap(int code) {
  if (namesKey(code)) pressKey(presses_, static_cast<std::size_t>(code));
}

bool SimKeyboard::held(int code) const { return namesKey(code) && held_[code]; }

}  // namespace tollivane::platform::sim
