#include "platform/win32/win32_key_state.hpp"

#include <windows.h>

#include "platform/win32/elevated_front.hpp"

namespace tollivane::platform::win32 {
namespace {

// The scan code of the right-hand Shift; the other right-hand modifiers are extended keys.
constexpr unsigned kRightShiftScan = 0x36;

// How often a poll looks at whose window is in front.
constexpr KeyLedger::Time kFrontEvery{500};
// Posted to the watcher: the hook was seen missing a press.
constexpr UINT kReinstall = WM_APP + 1;

// The key state whose hook runs on this thread.
thread_local Win32KeyState* hookOwner = nullptr;

LRESULT CALLBACK keyboardHook(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && hookOwner) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    hookOwner->onKeyDown(key->vkCode, key->scanCode, (key->flags & LLKHF_EXTENDED) != 0);
  }
  return CallNextHookEx(nullptr, code, message, data);
}

KeyLedger::Time tick() { return KeyLedger::Time(GetTickCount64()); }

}  // namespace

Win32KeyState::Win32KeyState()
    : Win32KeyState(
          [](int keyCode) { return static_cast<std::uint16_t>(::GetAsyncKeyState(keyCode)); },
          frontWindowElevatedAboveUs) {}

Win32KeyState::Win32KeyState(SystemKeys system, FrontElevated frontElevated)
    : system_(std::move(system)), frontElevated_(std::move(frontElevated)), presses_(tick()) {
  std::promise<bool> hooked;
  std::future<bool> answer = hooked.get_future();
  watcher_ = std::thread([this, &hooked] { watch(hooked); });
  hooked_ = answer.get();
  if (!hooked_) watcher_.join();
}

Win32KeyState::~Win32KeyState() {
  if (!hooked_) return;
  PostThreadMessageW(watcherId_, WM_QUIT, 0, 0);
  watcher_.join();
}

void Win32KeyState::watch(std::promise<bool>& hooked) {
  // Every key of the desktop waits for this thread's answer.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  MSG message;
  // Makes the thread's message queue, so that the quit posted to it is never lost.
  PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  watcherId_ = GetCurrentThreadId();
  hookOwner = this;
  const bool installed = install();
  hooked.set_value(installed);
  if (!installed) return;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == nullptr && message.message == kReinstall) {
      install();
    } else {
      DispatchMessageW(&message);
    }
  }
  if (hook_) UnhookWindowsHookEx(static_cast<HHOOK>(hook_));
}

bool Win32KeyState::install() {
  // A hook Windows has removed is unhooked again harmlessly; one still there would be called twice.
  if (hook_) UnhookWindowsHookEx(static_cast<HHOOK>(hook_));
  hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardHook, GetModuleHandleW(nullptr), 0);
  if (!hook_) return false;
  installs_.fetch_add(1);
  hookAlive_.store(true);
  return true;
}

void Win32KeyState::onKeyDown(unsigned virtualKey, unsigned scanCode, bool extended) {
  // The hook tells the side by the scan code or the extended flag, whichever code it was given.
  switch (virtualKey) {
    case VK_SHIFT:
    case VK_LSHIFT:
    case VK_RSHIFT:
      virtualKey = virtualKey == VK_RSHIFT || scanCode == kRightShiftScan ? VK_RSHIFT : VK_LSHIFT;
      break;
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL:
      virtualKey = virtualKey == VK_RCONTROL || extended ? VK_RCONTROL : VK_LCONTROL;
      break;
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU:
      virtualKey = virtualKey == VK_RMENU || extended ? VK_RMENU : VK_LMENU;
      break;
  }
  // 255 marks the fake keys of escaped sequences, not a key.
  if (virtualKey != 0 && virtualKey < 255) pressKey(presses_, virtualKey);
}

void Win32KeyState::checkFront(KeyLedger::Time now) {
  if (toldElevated_ || !tellElevated_) return;
  if (frontChecked_ && now - *frontChecked_ < kFrontEvery) return;
  frontChecked_ = now;
  if (!frontElevated_()) return;
  toldElevated_ = true;
  tellElevated_();
}

std::int16_t Win32KeyState::GetAsyncKeyState(std::int16_t keyCode) {
  // Codes outside 1..254 name no key; the system would read them modulo 256.
  if (keyCode <= 0 || keyCode > 254) return 0;
  const std::uint16_t system = system_(keyCode);
  const KeyLedger::Time now = tick();
  checkFront(now);
  const auto vk = static_cast<std::size_t>(keyCode);
  const bool down = (system & 0x8000) != 0;
  // Down now and up at the last query: pressed since, whether or not anyone saw the press.
  const bool wentDown = down && upAtQuery_[vk];
  upAtQuery_[vk] = !down;
  // Windows calls the hook before it marks the key down, so a key that went down unseen means
  // the hook is gone: the system's bit until the watcher has put it back.
  if (hooked_ && hookAlive_.load() && wentDown && !presses_.pressWaiting(vk)) {
    hookAlive_.store(false);
    PostThreadMessageW(watcherId_, kReinstall, 0, 0);
  }
  if ((!hooked_ || !hookAlive_.load()) && (system & 1) != 0) presses_.press(vk);
  if (wentDown) presses_.press(vk);
  return static_cast<std::int16_t>(queryKey(presses_, vk, down, now));
}

}  // namespace tollivane::platform::win32
