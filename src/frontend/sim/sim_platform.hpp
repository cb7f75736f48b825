// The whole simulated platform: one of every backend object, wired to each other.
#pragma once

#include <optional>
#include <string>

#include "app/window_controls.hpp"
#include "frontend/sim/sim_clock.hpp"
#include "frontend/sim/sim_keyboard.hpp"
#include "frontend/sim/sim_shell.hpp"
#include "frontend/sim/sim_surface.hpp"
#include "frontend/sim/sim_window.hpp"
#include "platform/platform.hpp"

namespace tollivane::frontend::sim {

class SimPlatform {
 public:
  // The program folder: `folder` as given (it must exist), or a fresh temporary folder that
  // is removed again with the platform.
  explicit SimPlatform(std::optional<std::string> folder = std::nullopt);
  ~SimPlatform();
  SimPlatform(const SimPlatform&) = delete;
  SimPlatform& operator=(const SimPlatform&) = delete;

  platform::Platform& platform() { return platform_; }
  const app::MainWindowControls& mainWindowControls() const { return mainControls_; }

  SimClock& clock() { return clock_; }
  SimTimer& timer1() { return timer1_; }
  SimTimer& timer2() { return timer2_; }
  SimKeyboard& keyboard() { return keyboard_; }
  SimSurface& surface() { return surface_; }
  SimShell& shell() { return shell_; }
  SimWindow& mainWindow() { return mainWindow_; }
  SimWindow& aboutWindow() { return aboutWindow_; }

  // The program folder and the settings file in it.
  const std::string& folder() const { return folder_; }
  std::string settingsFile() const;

 private:
  std::string folder_;
  bool ownsFolder_;
  SimClock clock_;
  SimTimer timer1_{clock_};  // made first: ticks first at the same instant
  SimTimer timer2_{clock_};
  SimKeyboard keyboard_;
  SimSurface surface_;
  SimWindow mainWindow_;
  SimWindow aboutWindow_;
  SimShell shell_;
  platform::Platform platform_;
  app::MainWindowControls mainControls_;
};

}  // namespace tollivane::frontend::sim
