#include "platform/x11/x11_key_state.hpp"

#include <utility>

#include "platform/x11/vk_keysyms.hpp"

namespace tollivane::platform::x11 {

X11KeyState::X11KeyState(Display* display_, std::function<void()> drainEvents_)
    : display(display_), drainEvents(std::move(drainEvents_)) {
  reloadKeyboardMapping();
}

void X11KeyState::reloadKeyboardMapping() {
  for (auto& codes : keycodesOf) codes.reset();
  int minKeycode = 0;
  int maxKeycode = 0;
  XDisplayKeycodes(display, &minKeycode, &maxKeycode);
  const int count = maxKeycode - minKeycode + 1;
  int perKeycode = 0;
  KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(minKeycode), count, &perKeycode);
  if (!map) return;
  for (std::size_t vk = 0; vk < kCodes; ++vk) {
    for (std::uint32_t sym : keysymsForVirtualKey(static_cast<int>(vk))) {
      // A keysym may sit on several keycodes, at any level: each of them counts.
      for (int i = 0; i < count * perKeycode; ++i) {
        const int keycode = minKeycode + i / perKeycode;
        if (map[i] == sym && keycode >= 0 && keycode < static_cast<int>(kCodes)) {
          keycodesOf[vk].set(static_cast<std::size_t>(keycode));
        }
      }
    }
  }
  XFree(map);
}

bool X11KeyState::bound(std::size_t vk, Clock::time_point now) const {
  // Not asked for in two seconds (ten polls): no longer one of the bindings' keys, so its
  // presses are not kept, and none from before is reported when it is bound again.
  return lastQueried[vk] != Clock::time_point{} && now - lastQueried[vk] <= std::chrono::seconds(2);
}

void X11KeyState::onRawKeyPress(int keycode) {
  if (keycode < 0 || keycode >= static_cast<int>(kCodes)) return;
  const auto code = static_cast<std::size_t>(keycode);
  const auto now = Clock::now();
  for (std::size_t vk = 0; vk < kCodes; ++vk) {
    if (keycodesOf[vk][code] && bound(vk, now)) pressedSince.set(vk);
  }
}

std::int16_t X11KeyState::GetAsyncKeyState(std::int16_t keyCode) {
  if (keyCode < 0 || keyCode >= static_cast<int>(kCodes)) return 0;
  const auto vk = static_cast<std::size_t>(keyCode);
  if (keycodesOf[vk].none()) return 0;

  char keymap[32];
  XQueryKeymap(display, keymap);
  // The keymap's reply came after every event that preceded it, so the presses the server
  // saw before this moment are all queued now.
  drainEvents();

  bool down = false;
  for (std::size_t keycode = 0; keycode < kCodes && !down; ++keycode) {
    down = keycodesOf[vk][keycode] && (keymap[keycode / 8] >> (keycode % 8) & 1);
  }
  const auto now = Clock::now();
  const bool pressed = pressedSince[vk] && bound(vk, now);
  pressedSince.reset(vk);
  lastQueried[vk] = now;
  return static_cast<std::int16_t>((down ? 0x8000 : 0) | (pressed ? 1 : 0));
}

}  // namespace tollivane::platform::x11
