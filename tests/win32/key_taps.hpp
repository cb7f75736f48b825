// Quick taps between two polls, as a player makes them inside a game: every key of a chord
// pressed in order, held a few milliseconds, released in reverse, all of it after one poll
// and before the next. Shared by the key-state test and the tap probe of bench/.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

#include "stopwatch/hotkey_poller.hpp"

namespace tollivane::win32_tests {

inline bool sendKey(WORD key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  return SendInput(1, &input, sizeof input) == 1;
}

// Runs the messages that have come for this thread's windows, as the program's loop does
// before a timer's tick, waiting `ms` for more.
inline void pumpMessages(DWORD ms) {
  const ULONGLONG until = GetTickCount64() + ms;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    const ULONGLONG now = GetTickCount64();
    if (now >= until) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
  }
}

// Start on Ctrl+Shift+F9, stop on F7: a combination with two modifiers and a plain key.
inline constexpr std::array<std::int16_t, 3> kCodes{VK_F9, 0, VK_F7};
inline constexpr std::array<std::int16_t, 3> kShifts{3, 0, 0};
inline const std::vector<WORD> kCombination{VK_CONTROL, VK_SHIFT, VK_F9};
inline const std::vector<WORD> kPlain{VK_F7};

// Taps `chord` `count` times, each held `heldMs`, between two polls of the bindings above;
// returns how many taps the poll after them saw as `expected`. With `rival`, another
// program's query of the chord's keys comes between each tap and the poll, as any program
// that reads the keyboard this way may make.
inline int tapsSeen(platform::KeyState& keys, const std::vector<WORD>& chord, int count,
                    DWORD heldMs, stopwatch::HotkeyAction expected, bool rival) {
  int seen = 0;
  for (int i = 0; i < count; ++i) {
    pumpMessages(20);
    stopwatch::pollHotkeys(keys, kCodes, kShifts);  // the poll before the tap
    for (const WORD key : chord) sendKey(key, true);
    Sleep(heldMs);
    for (auto key = chord.rbegin(); key != chord.rend(); ++key) sendKey(*key, false);
    if (rival) {
      for (const WORD key : chord) GetAsyncKeyState(key);
    }
    pumpMessages(60);
    if (stopwatch::pollHotkeys(keys, kCodes, kShifts) == expected) ++seen;
  }
  return seen;
}

}  // namespace tollivane::win32_tests
