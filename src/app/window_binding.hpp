// The one place where the windows' controls are bound to the logic, by the names of their ui/
// tables: a front end only finds the controls it built from those tables.
#pragma once

#include <string_view>

#include "app/window_controls.hpp"
#include "app/window_timers.hpp"
#include "ui/layout.hpp"

namespace tollivane::app {

// A window's controls as a front end built them from the window's table, found by name. A name
// the front end did not build, or one of a control of another kind, is a programming error:
// std::logic_error. The timers are app's own (window_timers.hpp).
class ControlLookup {
 public:
  virtual ~ControlLookup() = default;
  // A capture control's name gives its inner box.
  virtual TextBox& textBox(std::string_view name) = 0;
  virtual Panel& panel(std::string_view name) = 0;
  virtual MenuEntry& menuEntry(std::string_view name) = 0;
  virtual Label& label(std::string_view name) = 0;
};

// Each throws std::logic_error naming the control when the window's table lacks one the logic
// needs, or lists it as another kind.
MainWindowControls bindMainWindow(ControlLookup& window, WindowTimers& timers,
                                  const ui::WindowLayout& table = ui::mainWindowLayout());
AboutWindowControls bindAboutWindow(ControlLookup& window,
                                    const ui::WindowLayout& table = ui::aboutWindowLayout());

}  // namespace tollivane::app
