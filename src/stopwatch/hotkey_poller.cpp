#include "stopwatch/hotkey_poller.hpp"

namespace tollivane::stopwatch {
namespace {

constexpr std::int16_t kVkShift = 16;
constexpr std::int16_t kVkControl = 17;
constexpr std::int16_t kVkMenu = 18;

bool fires(platform::KeyState& keys, std::int16_t code, std::int16_t mask) {
  unsigned state = 0xFFFF;
  if (mask & 1) state &= static_cast<std::uint16_t>(keys.GetAsyncKeyState(kVkShift));
  if (mask & 2) state &= static_cast<std::uint16_t>(keys.GetAsyncKeyState(kVkControl));
  if (mask & 4) state &= static_cast<std::uint16_t>(keys.GetAsyncKeyState(kVkMenu));
  state &= static_cast<std::uint16_t>(keys.GetAsyncKeyState(code));
  return state != 0;
}

}  // namespace

HotkeyAction pollHotkeys(platform::KeyState& keys, const std::array<std::int16_t, 3>& codes,
                         const std::array<std::int16_t, 3>& shifts) {
  constexpr HotkeyAction kActions[] = {HotkeyAction::Start, HotkeyAction::Pause,
                                       HotkeyAction::Stop};
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const std::int16_t mask = shifts[i];
    if (mask < 0 || mask > 7) continue;
    if (fires(keys, codes[i], mask)) return kActions[i];
  }
  return HotkeyAction::None;
}

}  // namespace tollivane::stopwatch
