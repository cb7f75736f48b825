// The main window on the simulated platform, wired as a front end wires it: every event
// goes to its handler through the app's event table.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/event_table.hpp"
#include "app/form1.hpp"
#include "app/main_window_wiring.hpp"
#include "frontend/sim/sim_desktop.hpp"

namespace tollivane::frontend::sim {

class SimApp {
 public:
  enum class Input {
    Handled,
    Ignored,  // the window takes no input now: not loaded yet, About open, or the program ended
    Unknown,  // no such control for this input
  };

  // Wires the timers' ticks to Timer1_Timer and Timer2_Timer.
  explicit SimApp(SimDesktop& sim);
  ~SimApp();
  SimApp(const SimApp&) = delete;
  SimApp& operator=(const SimApp&) = delete;

  app::Form1& form() { return wiring_.form(); }
  bool loaded() const { return loaded_; }

  // Start-up: Form_Load, then Form_Shown once the window shows. Runs once.
  Input load();
  // The user asks the main window to close.
  Input close();
  // A button or menu entry of the main window, or a button of the About window.
  Input click(std::string_view name);
  // The user types into txtX or txtY.
  Input setText(std::string_view name, std::string_view text);
  // A key-down in qvHotKey1..qvHotKey3.
  Input keyDown(std::string_view name, std::int16_t keyCode, std::int16_t shift);

  // The keyboard focus to qvHotKey1..qvHotKey3; an empty name takes it from them.
  Input focus(std::string_view name);

  // The capture control of that name, or nullptr.
  controls::qvHotKey* captureControl(std::string_view name);

 private:
  bool takesInput() const;
  bool reachable(std::string_view name);
  Input clickMain(std::string_view name);

  SimDesktop& sim_;
  SimControlLookup lookup_;
  app::MainWindowWiring wiring_;
  app::EventTable& events_;
  bool loaded_ = false;
};

}  // namespace tollivane::frontend::sim
