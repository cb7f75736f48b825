// The key state the poller reads, with the hotkeys that the command line asks for beside the
// keyboard's: a binding asked for reads as held down, its key and each modifier it needs,
// through the whole of the next handler run that queries its key, as a key held through one
// poll would. The poller, its order and its masks stay as they are, so a command acts exactly
// as the same hotkey pressed would, at the next poll.
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

  std::int16_t GetAsyncKeyState(std::int16_t keyCode) override;
  void runEnds(bool framesComing) override;

 private:
  struct Press {
    std::int16_t code = 0;
    std::int16_t mask = 0;
    bool queried = false;  // its key was read in the run now going on
  };
  static constexpr std::size_t kMaxWaiting = 6;

  KeyState& keyboard_;
  RunObserver& runs_;
  std::array<Press, kMaxWaiting> waiting_{};  // fixed, so a query never allocates
  std::size_t count_ = 0;
};

}  // namespace tollivane::platform
