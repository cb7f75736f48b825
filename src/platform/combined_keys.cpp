#include "platform/combined_keys.hpp"

#include <algorithm>

#include "common/virtual_keys.hpp"

namespace tollivane::platform {
namespace {

// Down now, and pressed since the last query.
constexpr auto kHeld = static_cast<std::int16_t>(0x8001);

std::int16_t modifierBitOf(std::int16_t keyCode) {
  switch (keyCode) {
    case vk::kShift:
      return vk::kShiftBit;
    case vk::kControl:
      return vk::kControlBit;
    case vk::kAlt:
      return vk::kAltBit;
    default:
      return 0;
  }
}

}  // namespace

bool CombinedKeys::pressBinding(std::int16_t code, std::int16_t mask) {
  // A press the poller could never take would hold its modifiers down for good.
  if (mask < 0 || mask > vk::kAllModifiers) return false;
  // The same binding asked for twice in a row before it is read is one press, as two taps of a
  // key between polls are.
  if (count_ > 0 && waiting_[count_ - 1].code == code && waiting_[count_ - 1].mask == mask) {
    return true;
  }
  if (count_ == waiting_.size()) return false;
  waiting_[count_++] = {code, mask, false};
  return true;
}

void CombinedKeys::holdShortcut(std::size_t slot, std::int16_t code, std::int16_t mask, bool down) {
  if (slot >= shortcuts_.size()) return;
  Shortcut& s = shortcuts_[slot];
  if (down) {
    s = {code, mask, true, true, mask};
    shortcutsHeld_ = true;
  }
  s.down = down;
}

std::int16_t CombinedKeys::GetAsyncKeyState(std::int16_t keyCode) {
  // Always asked, so that the keyboard's own "pressed since the last query" stays true to it.
  std::int16_t state = keyboard_.GetAsyncKeyState(keyCode);
  // Without the command line and the desktop's shortcuts, the keyboard's answer is all.
  if (count_ == 0 && !shortcutsHeld_) return state;
  const std::int16_t modifier = modifierBitOf(keyCode);
  // One command a poll, the oldest first: two in one poll would fire in the poller's order,
  // not in the order they were given.
  if (count_ > 0) {
    Press& press = waiting_[0];
    if (press.code == keyCode) {
      state |= kHeld;
      press.queried = true;
    } else if ((press.mask & modifier) != 0) {
      state |= kHeld;
    }
  }
  for (Shortcut& s : shortcuts_) {
    if (s.code == keyCode) {
      if (s.down) state |= static_cast<std::int16_t>(0x8000);
      if (s.pressed) state |= 1;
      s.pressed = false;
    } else if ((s.mask & modifier) != 0) {
      // A modifier reads pressed when it was down at some moment since its last query.
      if (s.down || (s.unreadMods & modifier) != 0) state |= s.down ? kHeld : 1;
      s.unreadMods = static_cast<std::int16_t>(s.unreadMods & ~modifier);
    }
  }
  return state;
}

void CombinedKeys::runEnds(bool framesComing) {
  // Released once a whole poll has seen it: held through the run, not only its first query, so
  // that a binding tested after another on the same key still sees it down.
  if (count_ > 0 && waiting_[0].queried) {
    std::move(waiting_.begin() + 1, waiting_.begin() + static_cast<std::ptrdiff_t>(count_),
              waiting_.begin());
    --count_;
  }
  runs_.runEnds(framesComing);
}

}  // namespace tollivane::platform
