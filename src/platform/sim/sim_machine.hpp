// The simulated machine: one of each simulated adapter, handed to the program's logic as its
// platform, and steered by tests and the scenario runner through SimSteering.
#pragma once

#include <memory>
#include <string>

#include "platform/machine_assembly.hpp"
#include "platform/platform.hpp"
#include "platform/sim/sim_clock.hpp"
#include "platform/sim/sim_files.hpp"
#include "platform/sim/sim_keyboard.hpp"
#include "platform/sim/sim_own_window.hpp"
#include "platform/sim/sim_steering.hpp"
#include "platform/sim/sim_surface.hpp"

namespace tollivane::platform::sim {

// The desktop's shortcuts as the logic last asked for them.
struct SimShortcuts final : DesktopShortcuts {
  void useDesktopShortcuts(bool wanted, const std::array<std::int16_t, 3>& codes,
                           const std::array<std::int16_t, 3>& shifts) override {
    on = wanted;
    bound = {codes, shifts};
    ++asked;
  }
  bool on = false;
  std::array<std::array<std::int16_t, 3>, 2> bound{};  // codes, then shifts
  int asked = 0;
};

class SimMachine final : public SimSteering {
 public:
  // `folder`, `host` and `hostSeparator` as SimFiles takes them.
  SimMachine(std::string folder, std::unique_ptr<Files> host, char hostSeparator);
  SimMachine(const SimMachine&) = delete;
  SimMachine& operator=(const SimMachine&) = delete;

  // What the logic sees, put together as the programs put theirs.
  Platform& platform() { return platform_; }
  MachineAssembly& assembly() { return assembly_; }
  // The time the front end's timers run on.
  SimClock& clock() { return clock_; }
  SimSteering& steering() { return *this; }

  void advance(std::int64_t milliseconds) override { clock_.advance(milliseconds); }
  std::int64_t now() const override { return clock_.now(); }
  using SimSteering::hold;
  void hold(std::span<const int> codes) override { keyboard_.hold(codes); }
  void tap(int code) override { keyboard_.tap(code); }
  void setForeground(WindowHandle window) override { surface_.setForeground(window); }
  void setRepainting(bool repainting) override { surface_.setRepainting(repainting); }
  void onDraw(std::function<void(const DrawnText&, bool intoOwnWindow)> observer) override;
  bool command(std::string_view word) override { return assembly_.command(word); }
  void failSavesWith(std::string reason) override { files_.failSavesWith(std::move(reason)); }
  const SimKeyboard& keyboard() const override { return keyboard_; }
  const SimSurface& surface() const override { return surface_; }
  const SimOwnWindow& ownWindow() const override { return ownWindow_; }
  const ChosenSurface& chosen() const override { return assembly_.surface(); }
  const SimShortcuts& shortcuts() const { return shortcuts_; }
  SimPads& pads() override { return pads_; }
  const SimPads& pads() const override { return pads_; }

 private:
  SimClock clock_;
  SimKeyboard keyboard_;
  SimSurface surface_;
  SimOwnWindow ownWindow_{surface_};
  SimFiles files_;
  SimShortcuts shortcuts_;
  SimPads pads_;
  MachineAssembly assembly_;
  Platform platform_;
};

}  // namespace tollivane::platform::sim
