// A window's controls built from its layout table, one sim control per named control.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "app/window_controls.hpp"
#include "frontend/sim/sim_controls.hpp"
#include "platform/platform.hpp"
#include "ui/layout.hpp"

namespace tollivane::frontend::sim {

class SimWindow {
 public:
  explicit SimWindow(const ui::WindowLayout& layout);
  SimWindow(const SimWindow&) = delete;
  SimWindow& operator=(const SimWindow&) = delete;

  // Every control back to its state in the layout, as a freshly loaded window.
  void reset();

  // nullptr when the window has no such control of that kind. The text box of a capture
  // control is its inner box.
  SimTextBox* textBox(std::string_view name);
  SimMenuEntry* menuEntry(std::string_view name);
  SimPanel* panel(std::string_view name);
  SimLabel* label(std::string_view name);
  bool hasButton(std::string_view name) const;

 private:
  const ui::WindowLayout& layout_;
  std::map<std::string, SimTextBox, std::less<>> textBoxes_;
  std::map<std::string, SimMenuEntry, std::less<>> menuEntries_;
  std::map<std::string, SimPanel, std::less<>> panels_;
  std::map<std::string, SimLabel, std::less<>> labels_;
  std::set<std::string, std::less<>> buttons_;
};

// The controls the main window's logic reaches, taken from a window built from
// ui::mainWindowLayout(). Throws std::logic_error when one is missing from the layout.
app::MainWindowControls mainWindowControls(SimWindow& window, app::Timer& timer1,
                                           app::Timer& timer2);
app::AboutWindowControls aboutWindowControls(SimWindow& window);

}  // namespace tollivane::frontend::sim
