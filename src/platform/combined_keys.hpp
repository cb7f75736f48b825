// The key state the poller reads, with the hotkeys that the command line asks for beside the
// keyboard's: a binding asked for reads as held down, its key and each modifier it needs,
// through the whole of a handler run that queries its key, as a key held through one poll
// would, one binding a poll in the order they were asked for; and the desktop's shortcuts, each
// held from its activation to its deactivation. The poller, its order and its masks stay as they
// are, so a command or a shortcut acts exactly as the same hotkey pressed would, at the next poll;
// a key down on both counts once.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/platform.hpp"

namespace tollivane::platform {

class CombinedKeys final : public KeyState, public RunObserver {
 public:
  // `runs`: the observer the program's runs would otherwise tell, told after this one.
  CombinedKeys(KeyState& keyboard, RunObserver& runs) : keyboard_(keyboard), runs_(runs) {}

  // As if the key `code` with the modifiers of `mask` (Shift 1, Ctrl 2, Alt 4) were held for
  // the next poll. False, and nothing changes, for a mask the poller never fires (outside
  // 0..7) or when more presses are waiting than the poller could take in a few ticks.
  bool pressBinding(std::int16_t code, std::int16_t mask);

  // Shortcut `slot` (0..2) of the desktop's: from `down` true to false, its key `code` and each
  // modifier of `mask` read as held; the key reads pressed at the next query after each
  // activation, so one shorter than a tick still fires once. A slot out of range does nothing.
  void holdShortcut(std::size_t slot, std::int16_t code, std::int16_t mask, bool down);

  std::int16_t GetAsyncKeyState(std::int16_t keyCode) override;
  void runEnds(bool framesComing) override;

 private:
  struct Press {
    std::int16_t code = 0;
    std::int16_t mask = 0;
    bool queried = false;  // its key was read in the run now going on
  };
  struct Shortcut {
    std::int16_t code = 0;
    std::int16_t mask = 0;
    bool down = false;
    bool pressed = false;         // activated since its key's last query
    std::int16_t unreadMods = 0;  // modifiers of the mask not read since the activation
  };
  static constexpr std::size_t kMaxWaiting = 6;

  KeyState& keyboard_;
  RunObserver& runs_;
  std::array<Press, kMaxWaiting> waiting_{};  // fixed, so a query never allocates
  std::size_t count_ = 0;
  std::array<Shortcut, 3> shortcuts_{};
  bool shortcutsHeld_ = false;  // one was ever held: until then every slot reads nothing
};

}  // namespace tollivane::platform
