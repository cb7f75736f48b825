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

bool padFires(pad::PadButtons binding, std::span<const pad::PadButtons> padStates) {
  if (!pad::isPadBinding(binding)) return false;
  for (const pad::PadButtons state : padStates) {
    // One pad holds the whole chord: two players' buttons never make one.
    if ((state & binding) == binding) return true;
  }
  return false;
}

}  // namespace

HotkeyAction pollHotkeys(platform::KeyState& keys, const std::array<std::int16_t, 3>& codes,
                         const std::array<std::int16_t, 3>& shifts) {
  return pollHotkeys(keys, codes, shifts, {}, {});
}

HotkeyAction pollHotkeys(platform::KeyState& keys, const std::array<std::int16_t, 3>& codes,
                         const std::array<std::int16_t, 3>& shifts,
                         const std::array<pad::PadButtons, 3>& padBindings,
                         std::span<const pad::PadButtons> padStates) {
  constexpr HotkeyAction kActions[] = {HotkeyAction::Start, HotkeyAction::Pause,
                                       HotkeyAction::Stop};
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const std::int16_t mask = shifts[i];
    if (mask >= 0 && mask <= vk::kAllModifiers && fires(keys, codes[i], mask)) return kActions[i];
    if (padFires(padBindings[i], padStates)) return kActions[i];
  }
  return HotkeyAction::None;
}

bool anyPadBinding(const std::array<pad::PadButtons, 3>& padBindings) {
  for (const pad::PadButtons b : padBindings) {
    if (pad::isPadBinding(b)) return true;
  }
  return false;
}

}  // namespace tollivane::stopwatch
