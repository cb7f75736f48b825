#include "platform/sim/sim_keyboard.hpp"

namespace tollivane::platform::sim {
namespace {

// The generic code (Shift 16, Ctrl 17, Alt 18) that a side of a modifier (0xA0 left Shift to
// 0xA5 right Alt) also counts for, or 0.
int genericModifier(int code) { return code >= 0xA0 && code <= 0xA5 ? 16 + (code - 0xA0) / 2 : 0; }

bool isModifier(int code) { return (code >= 16 && code <= 18) || genericModifier(code) != 0; }

}  // namespace

SimKeyboard::SimKeyboard(const SimClock& clock) : clock_(clock) { lastQueried_.fill(clock_.now()); }

bool SimKeyboard::bound(int code) const { return clock_.now() - lastQueried_[code] <= 2000; }

void SimKeyboard::pressed(int code) {
  if (bound(code)) tapped_[code] = true;
}

std::int16_t SimKeyboard::GetAsyncKeyState(std::int16_t keyCode) {
  ++queries_;
  if (!namesKey(keyCode)) return 0;
  std::uint16_t state = held_[keyCode] ? 0x8000 : 0;
  if (tapped_[keyCode] && bound(keyCode)) state |= 0x0001;
  // A modifier held through this query was down at some moment since it.
  tapped_[keyCode] = isModifier(keyCode) && held_[keyCode];
  if (isModifier(keyCode) && held_[keyCode]) state |= 0x0001;
  lastQueried_[keyCode] = clock_.now();
  return static_cast<std::int16_t>(state);
}

void SimKeyboard::hold(std::span<const int> codes) {
  std::array<bool, kHighestCode + 1> now{};
  for (int code : codes) {
    if (!namesKey(code)) continue;
    now[code] = true;
    if (const int generic = genericModifier(code)) now[generic] = true;
  }
  // A modifier that went down between two queries was down at a moment since the first. Other
  // keys held read only bit 15, as a platform may report them: bit 0 is what a tap sets.
  for (int code = 1; code <= kHighestCode; ++code) {
    if (now[code] && isModifier(code)) pressed(code);
  }
  held_ = now;
}

void SimKeyboard::tap(int code) {
  if (!namesKey(code)) return;
  pressed(code);
  if (const int generic = genericModifier(code)) pressed(generic);
}

bool SimKeyboard::held(int code) const { return namesKey(code) && held_[code]; }

}  // namespace tollivane::platform::sim
