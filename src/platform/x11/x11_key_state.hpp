// Global key state on X: the server's keymap for "down now", XInput2 raw key presses for
// "pressed since the last query". Nothing is grabbed, so every key still reaches its window.
#pragma once

#include <array>
#include <bitset>
#include <chrono>
#include <functional>

// Before Xlib, whose macros (None, Status) would rewrite it.
#include "platform/platform.hpp"

#include <X11/Xlib.h>

namespace tollivane::platform::x11 {

class X11KeyState final : public platform::KeyState {
 public:
  // `drainEvents` delivers the raw key presses that have arrived to onRawKeyPress.
  X11KeyState(Display* display, std::function<void()> drainEvents);

  std::int16_t GetAsyncKeyState(std::int16_t keyCode) override;

  void onRawKeyPress(int keycode);
  // Reads the keyboard mapping again (at start and after the layout changed).
  void reloadKeyboardMapping();

 private:
  static constexpr std::size_t kCodes = 256;
  Display* display;
  std::function<void()> drainEvents;
  std::array<std::bitset<kCodes>, kCodes> keycodesOf{};  // by virtual-key code
  using Clock = std::chrono::steady_clock;
  // A key is bound while the poller keeps asking for it.
  bool bound(std::size_t vk, Clock::time_point now) const;
  std::array<Clock::time_point, kCodes> lastQueried{};  // by virtual-key code
  std::bitset<kCodes> pressedSince;                     // by virtual-key code
};

}  // namespace tollivane::platform::x11
