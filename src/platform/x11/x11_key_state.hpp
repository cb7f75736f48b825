// Global key state on X, kept from the XInput2 raw key presses and releases, which arrive
// whatever window has the focus and while another client grabs the keyboard. Nothing is
// grabbed, so every key still reaches its window, and a query costs no round trip: the
// server's keymap is read only when keys could have been missed.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

// Before Xlib, whose macros (None, Status) would rewrite it.
#include "platform/platform.hpp"
#include "platform/press_ledger.hpp"

#include <X11/Xlib.h>

namespace tollivane::platform::x11 {

class X11KeyState final : public platform::KeyState {
 public:
  // A key seen down longer than this without a press or a reading of the keymap confirming
  // it is read again before it is reported: a missed release would otherwise hold a binding
  // down for good (start would restart the stopwatch five times a second), while a key really
  // held costs one round trip a second and nothing more.
  static constexpr std::chrono::milliseconds kTrustDown{1000};

  // `drainEvents` delivers the raw key events that have arrived to onRawKey.
  X11KeyState(Display* display, std::function<void()> drainEvents);

  std::int16_t GetAsyncKeyState(std::int16_t keyCode) override;

  // `serial` is the event's: one older than the last reading of the keymap is already in it.
  void onRawKey(int keycode, bool pressed, unsigned long serial);
  // Keys may have changed unseen (a focus change, a device added): the next query reads the
  // keymap.
  void keysMayBeMissed() { keymapStale_ = true; }
  // Reads the keyboard mapping again (at start and after the layout changed).
  void reloadKeyboardMapping();

 private:
  static constexpr std::size_t kCodes = 256;
  using Clock = std::chrono::steady_clock;

  void readKeymap();
  static KeyLedger::Time sinceEpoch(Clock::time_point t) {
    return std::chrono::duration_cast<KeyLedger::Time>(t.time_since_epoch());
  }

  Display* display_;
  std::function<void()> drainEvents_;
  // Keycodes by virtual-key code and virtual-key codes by keycode, as spans of a flat list
  // each: made once per keyboard mapping, so a query reads a few bytes.
  struct Span {
    std::uint16_t begin = 0, end = 0;
  };
  std::vector<std::uint8_t> keycodes_, virtualKeys_;
  std::array<Span, kCodes> keycodesOf_{}, virtualKeysOf_{};

  bool keymapStale_ = true;
  unsigned long keymapSerial_ = 0;  // of the last reading's request
  // Flags a byte each, which a query reads and writes without masking bits.
  std::array<bool, kCodes> down_{};                   // by keycode
  std::array<Clock::time_point, kCodes> downSeen_{};  // by keycode: when last known down
  KeyLedger presses_{sinceEpoch(Clock::now())};       // by virtual-key code
};

}  // namespace tollivane::platform::x11
