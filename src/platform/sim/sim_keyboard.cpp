#include "platform/sim/sim_keyboard.hpp"

namespace tollivane::platform::sim {

std::int16_t SimKeyboard::GetAsyncKeyState(std::int16_t keyCode) {
  ++queries_;
  if (!namesKey(keyCode)) return 0;
  std::uint16_t state = held_[keyCode] ? 0x8000 : 0;
  if (tapped_[keyCode]) state |= 0x0001;
  tapped_[keyCode] = false;
  return static_cast<std::int16_t>(state);
}

void SimKeyboard::hold(std::span<const int> codes) {
  held_.fill(false);
  for (int code : codes) {
    if (namesKey(code)) held_[code] = true;
  }
}

void SimKeyboard::tap(int code) {
  if (namesKey(code)) tapped_[code] = true;
}

bool SimKeyboard::held(int code) const { return namesKey(code) && held_[code]; }

}  // namespace tollivane::platform::sim
