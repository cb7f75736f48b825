// Tollivane's surroundings in the simulation: the simulated machine, and the main window,
// the About window, their dialogs and timers built on it, wired to each other.
#pragma once

#include <optional>
#include <string>

#include "app/window_controls.hpp"
#include "frontend/sim/sim_dialogs.hpp"
#include "frontend/sim/sim_window.hpp"
#include "platform/platform.hpp"
#include "platform/sim/sim_machine.hpp"

namespace tollivane::frontend::sim {

class SimDesktop {
 public:
  // The program folder: `folder` as given (it must exist), or a fresh temporary folder that
  // is removed again with the desktop.
  explicit SimDesktop(std::optional<std::string> folder = std::nullopt);
  ~SimDesktop();
  SimDesktop(const SimDesktop&) = delete;
  SimDesktop& operator=(const SimDesktop&) = delete;

  // What the logic sees.
  platform::Platform& platform() { return machine_.platform(); }
  // Where commands from later starts reach the key state.
  platform::MachineAssembly& assembly() { return machine_.assembly(); }
  SimDialogs& dialogs() { return dialogs_; }
  const app::MainWindowControls& mainWindowControls() const { return mainControls_; }

  // For tests and the scenario runner only.
  platform::sim::SimSteering& steering() { return machine_.steering(); }

  // The main window's timers as the logic holds them.
  app::GroupTimer& timer1() { return static_cast<app::GroupTimer&>(mainControls_.Timer1); }
  app::GroupTimer& timer2() { return static_cast<app::GroupTimer&>(mainControls_.Timer2); }
  SimWindow& mainWindow() { return mainWindow_; }
  SimWindow& aboutWindow() { return aboutWindow_; }

  // The program folder and the settings file in it.
  const std::string& folder() const { return folder_; }
  std::string settingsFile() const;

 private:
  app::MainWindowControls bindMainWindow();

  std::string folder_;
  bool ownsFolder_;
  platform::sim::SimMachine machine_;
  SimWindow mainWindow_;
  SimWindow aboutWindow_;
  SimDialogs dialogs_;
  app::MainWindowControls mainControls_;
};

}  // namespace tollivane::frontend::sim
