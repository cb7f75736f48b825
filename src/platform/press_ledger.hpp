// Promises bit 15 down now, and bit 0 pressed since the slot's last query if that was within 2 s.
//
// One ledger per source of presses (the keys by virtual-key code, a pad by button index). Its
// adapter tells it of presses and says at each query whether the slot is down now and what time
// it is. Folding a modifier's sides into its generic code is a step the key states take
// (pressKey, below), so a pad's ledger has none. A query allocates nothing.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace tollivane::platform {

template <std::size_t Slots>
class PressLedger {
 public:
  // Whatever epoch the adapter's clock counts from, as long as it never goes back.
  using Time = std::chrono::milliseconds;
  // A slot not asked for this long is no longer a binding's: no press from before is reported
  // when it is bound again. Until its first query a slot counts as asked for when made.
  static constexpr Time kKeptFor{2000};
  // What bit 0 reports: a press since the last query (keys), or the slot down at some moment
  // since it (modifiers, pad buttons), so a key tapped under a modifier held through the last
  // query fires the binding that names both, whenever the modifier is let go; a slot read as
  // held that is down now reads pressed however long ago its last query was.
  enum class Since { Pressed, Down };

  explicit PressLedger(Time made) { asked_.fill(made); }
  PressLedger(const PressLedger&) = delete;
  PressLedger& operator=(const PressLedger&) = delete;

  // From any thread: `slot` went down. Not checked against the two seconds here: every press
  // since the last query came after it, so the query's own check decides for all of them.
  void press(std::size_t slot) { pressed_[slot].store(true, std::memory_order_relaxed); }

  // The slot's state (bit 15, bit 0), given whether it is down now; starts a new interval.
  std::uint16_t query(std::size_t slot, bool down, Time now, Since since) {
    std::atomic<bool>& pressed = pressed_[slot];
    const bool recent = now - asked_[slot] <= kKeptFor;
    asked_[slot] = now;
    if (since == Since::Down && down) {
      // Down at this query, so down at a moment since it for the next one.
      pressed.store(true, std::memory_order_relaxed);
      return 0x8001;
    }
    // Nearly every query finds nothing pressed: a plain load, and the exchange only when set.
    const bool sawPress = pressed.load(std::memory_order_relaxed) &&
                          pressed.exchange(false, std::memory_order_relaxed);
    return static_cast<std::uint16_t>((down ? 0x8000 : 0) | (sawPress && recent ? 1 : 0));
  }

  // A press waits for the slot's next query.
  bool pressWaiting(std::size_t slot) const {
    return pressed_[slot].load(std::memory_order_relaxed);
  }

 private:
  std::array<std::atomic<bool>, Slots> pressed_{};
  std::array<Time, Slots> asked_{};  // the query's thread only
};

// Virtual-key codes 0..255.
using KeyLedger = PressLedger<256>;

// Shift, Ctrl and Alt, generic (16..18) or one side (0xA0..0xA5), read as held.
constexpr bool isModifierKey(std::size_t code) {
  return (code >= 0x10 && code <= 0x12) || (code >= 0xA0 && code <= 0xA5);
}
// The generic code a side of a modifier also counts for (0xA1 right Shift: 16), or 0.
constexpr std::size_t genericModifierOf(std::size_t code) {
  return code >= 0xA0 && code <= 0xA5 ? 0x10 + (code - 0xA0) / 2 : 0;
}

// A press of the key `code` (1..254): of it and of the generic modifier a side counts for.
inline void pressKey(KeyLedger& keys, std::size_t code) {
  keys.press(code);
  if (const std::size_t generic = genericModifierOf(code)) keys.press(generic);
}
// The key state of `code` (0..255) as platform.hpp promises it, given whether it is down now.
inline std::uint16_t queryKey(KeyLedger& keys, std::size_t code, bool down, KeyLedger::Time now) {
  return keys.query(code, down, now,
                    isModifierKey(code) ? KeyLedger::Since::Down : KeyLedger::Since::Pressed);
}

}  // namespace tollivane::platform
