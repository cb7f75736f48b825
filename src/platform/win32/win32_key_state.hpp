// The keyboard as Windows reports it. "Down now" is GetAsyncKeyState's bit 15. "Pressed since
// the last query" is kept here from the keyboard's raw input, not taken from the system's bit
// 0: any other program's query clears that bit, and Windows says not to rely on it, so a tap
// between two polls could go unseen.
#pragma once

#include <windows.h>

#include <bitset>
#include <cstdint>

#include "platform/platform.hpp"

namespace tollivane::platform::win32 {

class Win32KeyState final : public KeyState {
 public:
  // Registers for raw keyboard input on a message-only window of its own, seen whichever
  // program has the focus and taken from no one. Its messages come through the thread's
  // message loop, as every window's do. Without raw input it falls back on the system's bit 0.
  Win32KeyState();
  ~Win32KeyState() override;
  Win32KeyState(const Win32KeyState&) = delete;
  Win32KeyState& operator=(const Win32KeyState&) = delete;

  std::int16_t GetAsyncKeyState(std::int16_t keyCode) override;

  // Ours, for tests: whether presses are kept from raw input.
  bool keepsPresses() const { return window_ != nullptr; }

 private:
  static constexpr std::size_t kCodes = 256;

  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM w, LPARAM l);
  void onRawInput(HRAWINPUT input);
  void pressed(unsigned vk, ULONGLONG now);

  HWND window_ = nullptr;
  std::bitset<kCodes> pressedSince_;    // by virtual-key code
  ULONGLONG lastQueried_[kCodes] = {};  // GetTickCount64 of the last query, by code
};

}  // namespace tollivane::platform::win32
