// Global key state on X: the server's keymap for "down now", XInput2 raw key presses for
// "pressed since the last query". Nothing is grabbed, so every key still reaches its window.
#pragma once

#include <array>
#include <bitset>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

// Before Xlib, whose macros (None, Status) would rewrite it.
#include "platform/platform.hpp"

#include <X11/Xlib.h>

namespace tollivane::platform::x11 {

class X11KeyState final : public platform::KeyState {
 public:
  // `drainEvents` delivers the raw key presses that have arrived to onRawKeyPress.
  X11KeyState(Display* display, std::function<void()> drainEvents);

  // Every query of one handler run reads one keymap, taken at the run's first query: a poll
  // costs one round trip however many keys its bindings name.
  std::int16_t GetAsyncKeyState(std::int16_t keyCode) override;
  // A new handler run begins: its first query reads the keymap afresh.
  void forgetKeymap() { keymapFresh_ = false; }

  void onRawKeyPress(int keycode);
  // Reads the keyboard mapping again (at start and after the layout changed).
  void reloadKeyboardMapping();

 private:
  static constexpr std::size_t kCodes = 256;
  using Clock = std::chrono::steady_clock;

  void readKeymap();
  // A key is bound while the poller keeps asking for it.
  bool bound(std::size_t vk, Clock::time_point now) const;

  Display* display_;
  std::function<void()> drainEvents_;
  // Keycodes by virtual-key code and virtual-key codes by keycode, as spans of a flat list
  // each: made once per keyboard mapping, so a query reads a few bytes.
  struct Span {
    std::uint16_t begin = 0, end = 0;
  };
  std::vector<std::uint8_t> keycodes_, virtualKeys_;
  std::array<Span, kCodes> keycodesOf_{}, virtualKeysOf_{};

  char keymap_[32] = {};
  bool keymapFresh_ = false;
  Clock::time_point keymapTime_{};
  std::array<Clock::time_point, kCodes> lastQueried_{};  // by virtual-key code
  std::bitset<kCodes> pressedSince_;                     // by virtual-key code
};

}  // namespace tollivane::platform::x11
