// The keyboard as Windows reports it. "Down now" is GetAsyncKeyState's bit 15. "Pressed since
// the last query" is kept here from a low-level keyboard hook, not taken from the system's bit
// 0: any other program's query clears that bit, and Windows says not to rely on it, so a tap
// between two polls could go unseen.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <future>
#include <thread>

#include "platform/platform.hpp"

namespace tollivane::platform::win32 {

class Win32KeyState final : public KeyState {
 public:
  // Installs the hook on a thread of its own, whose only work is to answer it: Windows calls a
  // low-level hook through its thread's message loop, makes every key of the desktop wait for
  // the answer, and drops a hook that answers slowly. The hook consumes nothing. Without it,
  // the system's bit 0 is all there is.
  Win32KeyState();
  ~Win32KeyState() override;
  Win32KeyState(const Win32KeyState&) = delete;
  Win32KeyState& operator=(const Win32KeyState&) = delete;

  std::int16_t GetAsyncKeyState(std::int16_t keyCode) override;

  // Ours, for tests: whether presses are kept from the hook.
  bool keepsPresses() const { return hooked_; }

  // From the hook's thread: a key went down.
  void onKeyDown(unsigned virtualKey, unsigned scanCode, bool extended);

 private:
  static constexpr std::size_t kCodes = 256;

  void watch(std::promise<bool>& hooked);
  void pressed(unsigned virtualKey, std::uint32_t now);

  std::thread watcher_;
  unsigned long watcherId_ = 0;
  bool hooked_ = false;
  // Written by the hook's thread and the poll's, so bits and times are atomic.
  std::array<std::atomic<std::uint32_t>, kCodes / 32> pressedSince_{};  // by virtual-key code
  std::array<std::atomic<std::uint32_t>, kCodes> lastQueried_{};  // GetTickCount | 1, 0: never
  std::array<bool, kCodes> downAtQuery_{};  // by virtual-key code; the poll's thread only
};

}  // namespace tollivane::platform::win32
