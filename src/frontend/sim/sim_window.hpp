// A window's controls built from its layout table, one sim control per named control.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "app/window_binding.hpp"
#include "app/window_timers.hpp"
#include "frontend/sim/sim_controls.hpp"
#include "frontend/sim/sim_system_timer.hpp"
#include "platform/sim/sim_clock.hpp"
#include "ui/layout.hpp"

namespace tollivane::frontend::sim {

class SimWindow {
 public:
  // The window's timers run on `clock`.
  SimWindow(const ui::WindowLayout& layout, platform::sim::SimClock& clock);
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
  app::GroupTimer* timer(std::string_view name) { return timers_.find(name); }
  app::WindowTimers& timers() { return timers_; }
  bool hasButton(std::string_view name) const;

 private:
  const ui::WindowLayout& layout_;
  std::map<std::string, SimTextBox, std::less<>> textBoxes_;
  std::map<std::string, SimMenuEntry, std::less<>> menuEntries_;
  std::map<std::string, SimPanel, std::less<>> panels_;
  std::map<std::string, SimLabel, std::less<>> labels_;
  std::set<std::string, std::less<>> buttons_;
  SimSystemTimer systemTimer_;
  app::WindowTimers timers_;
};

// The window's controls as the logic finds them; a missing one throws std::logic_error.
class SimControlLookup final : public app::ControlLookup {
 public:
  explicit SimControlLookup(SimWindow& window) : window_(window) {}
  SimTextBox& textBox(std::string_view name) override;
  SimPanel& panel(std::string_view name) override;
  SimMenuEntry& menuEntry(std::string_view name) override;
  SimLabel& label(std::string_view name) override;

 private:
  SimWindow& window_;
};

}  // namespace tollivane::frontend::sim
