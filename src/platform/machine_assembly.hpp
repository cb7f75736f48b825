// The machine the logic gets, put together the same way by every program and the simulation:
// the system's raw parts joined by the composites, so a rule of how they work together (which
// way to the screen, which source of keys) is kept in one place whatever the system.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/chosen_surface.hpp"
#include "platform/combined_keys.hpp"
#include "platform/platform.hpp"

namespace tollivane::platform {

// What a system has of its own.
struct MachineParts {
  KeyState& keyboard;
  DirectSurface& direct;
  OwnWindowSurface* ownWindow;  // null where no window of our own can be had
  Files& files;
  PadState& pads;
  bool ownWindowOnly = false;  // nothing drawn onto the game is seen (ChosenSurface)
};

class MachineAssembly {
 public:
  explicit MachineAssembly(const MachineParts& parts);
  MachineAssembly(const MachineAssembly&) = delete;
  MachineAssembly& operator=(const MachineAssembly&) = delete;

  // The one key state the poller reads: every source of keys beside the keyboard (the desktop's
  // shortcuts, the command line's presses) reports into it.
  CombinedKeys& keys() { return keys_; }
  ChosenSurface& surface() { return surface_; }
  const ChosenSurface& surface() const { return surface_; }

  // What the logic sees; `shortcuts` reports into keys().
  Platform platform(DesktopShortcuts& shortcuts);

  // The bindings that commands press: the program's own, read at each command, so that a
  // binding the editor changes is the one a later command presses.
  void pressBindingsOf(const std::array<std::int16_t, 3>& codes,
                       const std::array<std::int16_t, 3>& shifts);
  // A command handed on by a later start ("start", "pause", "stop"): its binding held down
  // for the next poll, so it acts as the hotkey pressed would. False when the word names no
  // binding, before pressBindingsOf, or when CombinedKeys refuses the press.
  bool command(std::string_view word);

 private:
  Files& files_;
  PadState& pads_;
  ChosenSurface surface_;
  // Told at each run's end, and tells the surface after it.
  CombinedKeys keys_;
  const std::array<std::int16_t, 3>* codes_ = nullptr;
  const std::array<std::int16_t, 3>* shifts_ = nullptr;
};

}  // namespace tollivane::platform
