#include "platform/win32/win32_key_state.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include "common/virtual_keys.hpp"
#include "contract/key_state_contract.hpp"
#include "key_taps.hpp"

namespace tollivane::platform::win32 {
namespace {

void send(WORD key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(1, &input, sizeof input), 1u);
}

// Keys sent with SendInput, seen once the hook's thread has had them.
class Win32Keyboard final : public contract::Keyboard {
 public:
  KeyState& keys() override { return keys_; }
  void key(int vk, bool down) override {
    send(static_cast<WORD>(vk), down);
    win32_tests::pumpMessages(60);
  }
  void pause(std::chrono::milliseconds time) override { Sleep(static_cast<DWORD>(time.count())); }
  std::chrono::milliseconds age() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - made_);
  }

 private:
  using Clock = std::chrono::steady_clock;
  Clock::time_point made_ = Clock::now();  // before the key state, so its age is never less
  Win32KeyState keys_;
};

using contract::KeyStateContract;
INSTANTIATE_TEST_SUITE_P(Win32, KeyStateContract,
                         ::testing::Values(contract::KeyStateKit{
                             "Win32", [] { return std::make_unique<Win32Keyboard>(); }}),
                         contract::keysKitName);

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

// Taps shorter than a poll, alone and with another reader of the same keys between the tap and
// the poll: the system's own "pressed since" bit is gone by then, and under Wine it is never
// set for a chord's modifiers.
TEST(Win32KeyState, TapsBetweenTwoPollsAreSeenWhoeverElseReadsTheKeys) {
  Win32KeyState keys;
  ASSERT_TRUE(keys.keepsPresses());
  using stopwatch::HotkeyAction;
  struct Case {
    const char* name;
    const std::vector<WORD>& chord;
    HotkeyAction action;
    bool rival;
  };
  const Case cases[] = {
      {"F7", win32_tests::kPlain, HotkeyAction::Stop, false},
      {"F7, another reader", win32_tests::kPlain, HotkeyAction::Stop, true},
      {"Ctrl+Shift+F9", win32_tests::kCombination, HotkeyAction::Start, false},
      {"Ctrl+Shift+F9, another reader", win32_tests::kCombination, HotkeyAction::Start, true},
  };
  constexpr int kTaps = 50;
  for (const Case& tap : cases) {
    EXPECT_EQ(win32_tests::tapsSeen(keys, tap.chord, kTaps, 30, tap.action, tap.rival), kTaps)
        << tap.name;
  }
}

// A press of one side of a modifier counts for its own side and the generic code only.
TEST(Win32KeyState, APressCountsForItsSideAndTheGenericModifier) {
  Win32KeyState keys;
  ASSERT_TRUE(keys.keepsPresses());
  struct Case {
    WORD sent;
    WORD generic, left, right;
  };
  const Case cases[] = {
      {VK_LSHIFT, VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
      {VK_RSHIFT, VK_SHIFT, VK_RSHIFT, VK_LSHIFT},
      {VK_LCONTROL, VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
      {VK_RCONTROL, VK_CONTROL, VK_RCONTROL, VK_LCONTROL},
      {VK_RMENU, VK_MENU, VK_RMENU, VK_LMENU},
  };
  for (const Case& key : cases) {
    // Asked for first: presses of keys no poll asks for are not kept.
    for (const WORD code : {key.generic, key.left, key.right}) keys.GetAsyncKeyState(code);
    send(key.sent, true);
    send(key.sent, false);
    win32_tests::pumpMessages(60);
    EXPECT_EQ(keys.GetAsyncKeyState(key.generic) & 1, 1) << key.sent;
    EXPECT_EQ(keys.GetAsyncKeyState(key.left) & 1, 1) << key.sent;
    EXPECT_EQ(keys.GetAsyncKeyState(key.right) & 1, 0) << key.sent;
  }
}

// Wine has neither hook timeouts nor integrity levels, so the system is stood in for.
std::uint16_t systemKeys(int code) { return static_cast<std::uint16_t>(::GetAsyncKeyState(code)); }
TEST(Win32KeyState, AnElevatedWindowInFrontIsToldOnce) {
  std::atomic<bool> elevated{false};
  Win32KeyState keys(systemKeys, [&] { return elevated.load(); });
  int told = 0;
  keys.onElevatedFront([&] { ++told; });
  for (const auto& [front, ms, expected] :
       {std::tuple{false, 1200, 0}, {true, 20000, 1}, {false, 1200, 1}, {true, 1200, 1}}) {
    elevated = front;
    for (const ULONGLONG until = GetTickCount64() + ms;
         GetTickCount64() < until && told <= expected;) {
      keys.GetAsyncKeyState(VK_F7);
      Sleep(10);
    }
    EXPECT_EQ(told, expected) << front;
  }
}

// A key the system saw go down after a poll, which the hook never saw: the hook is gone.
TEST(Win32KeyState, AHookThatMissedAPressIsPutBack) {
  std::atomic<int> phantom{0};
  Win32KeyState keys(
      [&](int code) { return code == phantom ? std::uint16_t{0x8000} : systemKeys(code); },
      [] { return false; });
  keys.GetAsyncKeyState(VK_F8);
  phantom = VK_F8;
  EXPECT_EQ(keys.GetAsyncKeyState(VK_F8) & 1, 1);  // the press, though the hook missed it
  for (const ULONGLONG until = GetTickCount64() + 20000;
       keys.hookInstalls() == 1 && GetTickCount64() < until;)
    Sleep(10);
  EXPECT_EQ(keys.hookInstalls(), 2);
  // Back: a key held through a poll raises no alarm, and a real tap is reported once.
  keys.GetAsyncKeyState(VK_F8);
  phantom = 0;
  send(VK_F8, true);
  send(VK_F8, false);
  win32_tests::pumpMessages(60);
  EXPECT_EQ(keys.GetAsyncKeyState(VK_F8) & 1, 1);
  EXPECT_EQ(keys.GetAsyncKeyState(VK_F8) & 1, 0);
  EXPECT_EQ(keys.hookInstalls(), 2);
}

}  // namespace
}  // namespace tollivane::platform::win32
