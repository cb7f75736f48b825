// The main window's surroundings in the simulation: message boxes, the About window,
// run-time errors and the program's end, recorded and reported as event lines.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/event_table.hpp"
#include "app/window_controls.hpp"
#include "frontend/sim/sim_window.hpp"
#include "platform/sim/sim_clock.hpp"

namespace tollivane::frontend::sim {

struct MessageBoxShown {
  std::string prompt;
  app::MessageIcon icon;
  std::string title;
};

struct RuntimeErrorReported {
  int number;
  std::string description;
};

class SimDialogs final : public app::WindowShell {
 public:
  // `clock`: stopped at the program's end; `about`: the About window to load.
  SimDialogs(platform::sim::SimClock& clock, SimWindow& about);

  void messageBox(std::string_view prompt, app::MessageIcon icon, std::string_view title) override;
  // The main window's event table, through which the About window loads; none: it cannot open.
  void setEvents(app::EventTable* events) { events_ = events; }

  void showAboutModal() override;
  const app::AboutWindowControls* aboutControls() const override {
    return aboutOpen_ ? &aboutControls_ : nullptr;
  }
  void unloadAbout() override;
  void reportRuntimeError(int number, std::string_view description) override;
  void endProgram() override;
  bool ended() const override { return ended_; }
  // The simulated desktop passes every key.
  void hotkeysInUse(const std::array<std::int16_t, 3>&,
                    const std::array<std::int16_t, 3>&) override {}

  // Every event as one line: `msgbox "PROMPT"`, `about open`, `about closed`,
  // `error NUMBER DESCRIPTION`, `end`.
  std::function<void(std::string_view)> onEvent;

  const std::vector<MessageBoxShown>& messageBoxes() const { return messageBoxes_; }
  const std::vector<RuntimeErrorReported>& runtimeErrors() const { return runtimeErrors_; }
  bool aboutOpen() const { return aboutOpen_; }

 private:
  void report(std::string_view line);

  platform::sim::SimClock& clock_;
  SimWindow& about_;
  app::AboutWindowControls aboutControls_;
  app::EventTable* events_ = nullptr;
  std::vector<MessageBoxShown> messageBoxes_;
  std::vector<RuntimeErrorReported> runtimeErrors_;
  bool aboutOpen_ = false;
  bool ended_ = false;
};

}  // namespace tollivane::frontend::sim
