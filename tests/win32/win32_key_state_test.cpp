#include "platform/win32/win32_key_state.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include "common/virtual_keys.hpp"

namespace tollivane::platform::win32 {
namespace {

void send(WORD key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(1, &input, sizeof input), 1u);
}

// The system may answer from a state a few milliseconds old: wait for it to settle.
std::int16_t settled(Win32KeyState& keys, std::int16_t code, bool down) {
  std::int16_t state = 0;
  for (int attempt = 0; attempt < 50; ++attempt) {
    state = keys.GetAsyncKeyState(code);
    if (((state & 0x8000) != 0) == down) break;
    Sleep(10);
  }
  return state;
}

TEST(Win32KeyState, FollowsKeysPressedAndReleased) {
  Win32KeyState keys;
  for (const WORD key : {WORD{VK_F5}, WORD{VK_F6}, WORD{VK_F7}, WORD{VK_LSHIFT}, WORD{'A'}}) {
    send(key, true);
    EXPECT_NE(settled(keys, static_cast<std::int16_t>(key), true) & 0x8000, 0) << key;
    send(key, false);
    EXPECT_EQ(settled(keys, static_cast<std::int16_t>(key), false) & 0x8000, 0) << key;
  }
}

TEST(Win32KeyState, TheGenericModifierFollowsEitherSide) {
  Win32KeyState keys;
  send(VK_RCONTROL, true);
  EXPECT_NE(settled(keys, vk::kControl, true) & 0x8000, 0);
  send(VK_RCONTROL, false);
  EXPECT_EQ(settled(keys, vk::kControl, false) & 0x8000, 0);
}

TEST(Win32KeyState, CodesNamingNoKeyAreUp) {
  Win32KeyState keys;
  // 0x1F5 would alias F5 if passed on: the system reads only the low byte.
  send(VK_F5, true);
  settled(keys, static_cast<std::int16_t>(VK_F5), true);
  for (const int code : {0, -1, 255, 0x1F5, 0x7FFF}) {
    EXPECT_EQ(keys.GetAsyncKeyState(static_cast<std::int16_t>(code)), 0) << code;
  }
  send(VK_F5, false);
}

}  // namespace
}  // namespace tollivane::platform::win32
