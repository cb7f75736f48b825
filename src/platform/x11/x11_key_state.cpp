#include "platform/x11/x11_key_state.hpp"

#include <algorithm>
#include <bitset>
#include <utility>

#include "platform/x11/vk_keysyms.hpp"

namespace tollivane::platform::x11 {
namespace {

struct SymToKey {
  std::uint32_t sym;
  std::uint8_t vk;
  friend bool operator<(const SymToKey& a, const SymToKey& b) { return a.sym < b.sym; }
};

}  // namespace

X11KeyState::X11KeyState(Display* display, std::function<void()> drainEvents)
    : display_(display), drainEvents_(std::move(drainEvents)) {
  reloadKeyboardMapping();
}

void X11KeyState::reloadKeyboardMapping() {
  // A new keyboard may come with keys down that sent no press.
  keymapStale_ = true;
  std::vector<SymToKey> byKeysym;
  for (std::size_t vk = 0; vk < kCodes; ++vk) {
    for (std::uint32_t sym : keysymsForVirtualKey(static_cast<int>(vk))) {
      byKeysym.push_back({sym, static_cast<std::uint8_t>(vk)});
    }
  }
  std::sort(byKeysym.begin(), byKeysym.end());

  int minKeycode = 0;
  int maxKeycode = 0;
  XDisplayKeycodes(display_, &minKeycode, &maxKeycode);
  const int count = maxKeycode - minKeycode + 1;
  int perKeycode = 0;
  KeySym* map = XGetKeyboardMapping(display_, static_cast<KeyCode>(minKeycode), count, &perKeycode);
  std::array<std::bitset<kCodes>, kCodes> isKeycodeOf{};  // [vk][keycode]
  if (map) {
    // A keysym may sit on several keycodes, at any level: each of them counts.
    for (int i = 0; i < count * perKeycode; ++i) {
      const int keycode = minKeycode + i / perKeycode;
      if (keycode < 0 || keycode >= static_cast<int>(kCodes)) continue;
      const SymToKey probe{static_cast<std::uint32_t>(map[i]), 0};
      auto [first, last] = std::equal_range(byKeysym.begin(), byKeysym.end(), probe);
      for (; first != last; ++first) isKeycodeOf[first->vk].set(static_cast<std::size_t>(keycode));
    }
    XFree(map);
  }

  keycodes_.clear();
  virtualKeys_.clear();
  for (std::size_t vk = 0; vk < kCodes; ++vk) {
    keycodesOf_[vk].begin = static_cast<std::uint16_t>(keycodes_.size());
    for (std::size_t code = 0; code < kCodes; ++code) {
      if (isKeycodeOf[vk][code]) keycodes_.push_back(static_cast<std::uint8_t>(code));
    }
    keycodesOf_[vk].end = static_cast<std::uint16_t>(keycodes_.size());
  }
  for (std::size_t code = 0; code < kCodes; ++code) {
    virtualKeysOf_[code].begin = static_cast<std::uint16_t>(virtualKeys_.size());
    for (std::size_t vk = 0; vk < kCodes; ++vk) {
      if (isKeycodeOf[vk][code]) virtualKeys_.push_back(static_cast<std::uint8_t>(vk));
    }
    virtualKeysOf_[code].end = static_cast<std::uint16_t>(virtualKeys_.size());
  }
}

void X11KeyState::onRawKey(int keycode, bool pressed, unsigned long serial) {
  if (keycode < 0 || keycode >= static_cast<int>(kCodes)) return;
  const auto code = static_cast<std::size_t>(keycode);
  const auto now = Clock::now();
  // Serials wrap: the difference says which came first.
  if (static_cast<long>(serial - keymapSerial_) >= 0) {
    down_[code] = pressed;
    if (pressed) downSeen_[code] = now;
  }
  if (!pressed) return;
  // The table gives a side of a modifier its generic code too, so each is pressed as it stands.
  const Span span = virtualKeysOf_[code];
  for (std::uint16_t i = span.begin; i < span.end; ++i) presses_.press(virtualKeys_[i]);
}

void X11KeyState::readKeymap() {
  // Events the server sent before it read the keymap carry a smaller serial than the request.
  keymapSerial_ = NextRequest(display_);
  char keymap[32] = {};
  XQueryKeymap(display_, keymap);
  const auto now = Clock::now();
  for (std::size_t code = 0; code < kCodes; ++code) {
    down_[code] = (keymap[code / 8] >> (code % 8) & 1) != 0;
    if (down_[code]) downSeen_[code] = now;
  }
  keymapStale_ = false;
  // The presses that preceded the reply are all queued now; they still count as presses.
  drainEvents_();
}

std::int16_t X11KeyState::GetAsyncKeyState(std::int16_t keyCode) {
  if (keyCode < 0 || keyCode >= static_cast<int>(kCodes)) return 0;
  const auto vk = static_cast<std::size_t>(keyCode);
  const Span codes = keycodesOf_[vk];
  if (codes.begin == codes.end) return 0;
  // Nearly every query finds nothing queued: a look at the queue's length costs less than the
  // call that would find it empty.
  if (QLength(display_) > 0) drainEvents_();
  const auto now = Clock::now();
  bool down = false;
  for (std::uint16_t i = codes.begin; i < codes.end; ++i) {
    if (!down_[keycodes_[i]]) continue;
    down = true;
    if (now - downSeen_[keycodes_[i]] > kTrustDown) keymapStale_ = true;
  }
  if (keymapStale_) {
    readKeymap();
    down = false;
    for (std::uint16_t i = codes.begin; i < codes.end && !down; ++i) down = down_[keycodes_[i]];
  }
  return static_cast<std::int16_t>(queryKey(presses_, vk, down, sinceEpoch(now)));
}

}  // namespace tollivane::platform::x11
