#include "platform/win32/win32_key_state.hpp"

#include <windows.h>

#include "platform/win32/elevated_front.hpp"

namespace tollivane::platform::win32 {
namespace {

// Not asked for in two seconds (ten polls): no longer one of the bindings' keys, so its
// presses are not kept, and none from before is reported when it is bound again.
constexpr std::int32_t kBoundFor = 2000;
// The scan code of the right-hand Shift; the other right-hand modifiers are extended keys.
constexpr unsigned kRightShiftScan = 0x36;

// How often a poll looks at whose window is in front.
constexpr std::int32_t kFrontEvery = 500;
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

std::uint32_t tick() { return static_cast<std::uint32_t>(GetTickCount()); }

// Shift, Ctrl and Alt, either side or both.
bool isModifier(unsigned vk) {
  return (vk >= VK_SHIFT && vk <= VK_MENU) || (vk >= VK_LSHIFT && vk <= VK_RMENU);
}

}  // namespace

Win32KeyState::Win32KeyState()
    : Win32KeyState(
          [](int keyCode) { return static_cast<std::uint16_t>(::GetAsyncKeyState(keyCode)); },
          frontWindowElevatedAboveUs) {}

Win32KeyState::Win32KeyState(SystemKeys system, FrontElevated frontElevated)
    : system_(std::move(system)), frontElevated_(std::move(frontElevated)), made_(tick()) {
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
  const std::uint32_t now = tick();
  // Either side counts for the generic modifier code and its own side for the sided one.
  switch (virtualKey) {
    case VK_SHIFT:
    case VK_LSHIFT:
    case VK_RSHIFT:
      pressed(VK_SHIFT, now);
      pressed(virtualKey == VK_RSHIFT || scanCode == kRightShiftScan ? VK_RSHIFT : VK_LSHIFT, now);
      break;
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL:
      pressed(VK_CONTROL, now);
      pressed(virtualKey == VK_RCONTROL || extended ? VK_RCONTROL : VK_LCONTROL, now);
      break;
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU:
      pressed(VK_MENU, now);
      pressed(virtualKey == VK_RMENU || extended ? VK_RMENU : VK_LMENU, now);
      break;
    default:
      pressed(virtualKey, now);
  }
}

void Win32KeyState::pressed(unsigned virtualKey, std::uint32_t now) {
  // 255 marks the fake keys of escaped sequences, not a key.
  if (virtualKey == 0 || virtualKey >= 255) return;
  // Until its first query, a key counts from when we started, so a tap before the first poll
  // is seen.
  std::uint32_t queried = lastQueried_[virtualKey].load(std::memory_order_relaxed);
  if (queried == 0) queried = made_;
  // Signed: a query stamped one tick ahead (the low bit) is not two seconds old.
  if (static_cast<std::int32_t>(now - queried) > kBoundFor) return;
  pressedSince_[virtualKey / 32].fetch_or(1u << (virtualKey % 32));
}

void Win32KeyState::checkFront(std::uint32_t now) {
  if (toldElevated_ || !tellElevated_) return;
  if (frontChecked_ != 0 && static_cast<std::int32_t>(now - frontChecked_) < kFrontEvery) return;
  frontChecked_ = now | 1;
  if (!frontElevated_()) return;
  toldElevated_ = true;
  tellElevated_();
}

std::int16_t Win32KeyState::GetAsyncKeyState(std::int16_t keyCode) {
  // Codes outside 1..254 name no key; the system would read them modulo 256.
  if (keyCode <= 0 || keyCode > 254) return 0;
  const std::uint16_t system = system_(keyCode);
  checkFront(tick());
  const auto vk = static_cast<unsigned>(keyCode);
  const bool down = (system & 0x8000) != 0;
  const std::uint32_t now = tick();
  const std::uint32_t queried = lastQueried_[vk].load(std::memory_order_relaxed);
  const bool bound = queried != 0 && static_cast<std::int32_t>(now - queried) <= kBoundFor;
  // A modifier held through the last query was down after it too, so a key tapped under a
  // held modifier fires the binding that names both.
  const bool modifier = isModifier(vk);
  const bool wentDown = down && !downAtQuery_[vk] && bound;
  const bool wasDown = modifier && downAtQuery_[vk] && bound;
  downAtQuery_[vk] = down;
  lastQueried_[vk].store(now | 1, std::memory_order_relaxed);
  bool pressedSince = (system & 1) != 0;
  if (hooked_) {
    // Taken even while the system's bit answers, so no press is reported twice.
    const std::uint32_t bit = 1u << (vk % 32);
    const bool hookSaw = (pressedSince_[vk / 32].fetch_and(~bit) & bit) != 0;
    // Windows calls the hook before it marks the key down, so a key that went down unseen
    // means the hook is gone: the system's bit until the watcher has put it back.
    if (hookAlive_.load() && wentDown && !hookSaw) {
      hookAlive_.store(false);
      PostThreadMessageW(watcherId_, kReinstall, 0, 0);
    } else if (hookAlive_.load()) {
      pressedSince = hookSaw;
    }
  }
  const bool sinceLast = pressedSince || wentDown || wasDown || (modifier && down);
  return static_cast<std::int16_t>((system & 0x8000) | (sinceLast ? 1 : 0));
}

}  // namespace tollivane::platform::win32
