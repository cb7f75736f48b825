#include "stopwatch/hotkey_poller.hpp"

#include "common/virtual_keys.hpp"

namespace tollivane::stopwatch {
namespace {

bool fires(platform::KeyState& keys, std::int16_t code, std::int16_t mask) {
  unsigned state = 0xFFFF;
  if (mask & vk::kShiftBit) state &= static_cast<std::uint16_t>(keys.GetAsyncKeyState(vk::kShift));
  if (mask & vk::kControlBit) {
    state &= static_cast<std::uint16_t>(keys.GetAsyncKeyState(vk::kControl));
  }
  if (mask & vk::kAltBit) state &= static_cast<std::uint16_t>(keys.GetAsyncKeyState(vk::kAlt));
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
    if (mask < 0 || mask > vk::kAllModifiers) continue;
    if (fires(keys, codes[i], mask)) return kActions[i];
  }
  return HotkeyAction::None;
}

}  // namespace tollivane::stopwatch
