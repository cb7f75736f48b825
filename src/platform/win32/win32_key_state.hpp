// The keyboard as Windows reports it. "Down now" is GetAsyncKeyState's bit 15. "Pressed since
// the last query" is kept here from a low-level keyboard hook, not taken from the system's bit
// 0: any other program's query clears that bit, and Windows says not to rely on it, so a tap
// between two polls could go unseen.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <optional>
#include <thread>

#include "platform/platform.hpp"
#include "platform/press_ledger.hpp"

namespace tollivane::platform::win32 {

class Win32KeyState final : public KeyState {
 public:
  // Installs the hook on a thread of its own, whose only work is to answer it: Windows calls a
  // low-level hook through its thread's message loop, makes every key of the desktop wait for
  // the answer, and drops a hook that answers slowly. The hook consumes nothing. Without it,
  // the system's bit 0 is all there is.
  // The system's own key state and whether the window in front is elevated above us: the
  // system's unless a test stands in for them.
  using SystemKeys = std::function<std::uint16_t(int keyCode)>;
  using FrontElevated = std::function<bool()>;

  Win32KeyState();
  Win32KeyState(SystemKeys system, FrontElevated frontElevated);
  ~Win32KeyState() override;
  Win32KeyState(const Win32KeyState&) = delete;
  Win32KeyState& operator=(const Win32KeyState&) = delete;

  std::int16_t GetAsyncKeyState(std::int16_t keyCode) override;

  // Ours, for tests: whether presses are kept from the hook, and how often it was installed.
  bool keepsPresses() const { return hookAlive_.load(); }
  int hookInstalls() const { return installs_.load(); }

  // Called once, from a poll, the first time a window in front is elevated above us.
  void onElevatedFront(std::function<void()> tell) { tellElevated_ = std::move(tell); }

  // From the hook's thread: a key went down.
  void onKeyDown(unsigned virtualKey, unsigned scanCode, bool extended);

 private:
  void watch(std::promise<bool>& hooked);
  bool install();

  void checkFront(KeyLedger::Time now);

  SystemKeys system_;
  FrontElevated frontElevated_;
  std::function<void()> tellElevated_;
  std::optional<KeyLedger::Time> frontChecked_;
  bool toldElevated_ = false;
  // Before the watcher, whose hook presses keys into it; queried on the poll's thread only.
  KeyLedger presses_;
  std::array<bool, 256> upAtQuery_{};  // by virtual-key code; false until its first query
  std::thread watcher_;
  unsigned long watcherId_ = 0;
  bool hooked_ = false;  // the watcher runs
  // Windows removes a hook that answers too slowly (LowLevelHooksTimeout) and says nothing:
  // false from a poll that caught it missing a press until the watcher has put it back.
  std::atomic<bool> hookAlive_{false};
  std::atomic<int> installs_{0};
  void* hook_ = nullptr;  // the watcher's thread only
};

}  // namespace tollivane::platform::win32
