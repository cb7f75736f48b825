#include "app/window_binding.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "frontend/sim/sim_window.hpp"

namespace tollivane::app {
namespace {

// The main window's table with one control, menu entry or timer renamed or made a label.
struct Edited {
  std::vector<ui::ControlLayout> controls;
  std::vector<ui::MenuEntryLayout> menu;
  std::vector<std::string_view> timers;
  ui::WindowLayout table;

  Edited(std::string_view name, bool makeLabel) {
    const ui::WindowLayout& real = ui::mainWindowLayout();
    controls.assign(real.controls.begin(), real.controls.end());
    menu.assign(real.menu.begin(), real.menu.end());
    timers.assign(real.timers.begin(), real.timers.end());
    for (auto& c : controls) {
      if (c.name != name) continue;
      if (makeLabel) {
        c.kind = ui::ControlKind::Label;
      } else {
        c.name = "x";
      }
    }
    for (auto& m : menu) {
      if (m.name == name) m.name = "x";
    }
    for (auto& t : timers) {
      if (t == name) t = "x";
    }
    table = real;
    table.controls = controls;
    table.menu = menu;
    table.timers = timers;
  }
};

// A table and the logic that disagree fail at start-up, naming the control, even where the
// front end built every control the logic asks for.
TEST(WindowBindingTest, AControlTheTableLacksIsNamed) {
  platform::sim::SimClock clock;
  frontend::sim::SimWindow window(ui::mainWindowLayout(), clock);
  frontend::sim::SimControlLookup lookup(window);
  const struct {
    std::string_view name;
    bool makeLabel;
  } cases[] = {{"Timer2", false}, {"qvHotKey3", false}, {"txtY", true},
               {"Frame2", false}, {"Frame1", true},     {"mnuOverlayWindow", false}};
  for (const auto& c : cases) {
    const Edited edited(c.name, c.makeLabel);
    try {
      bindMainWindow(lookup, window.timers(), edited.table);
      ADD_FAILURE() << c.name << " bound";
    } catch (const std::logic_error& e) {
      EXPECT_NE(std::string(e.what()).find(" " + std::string(c.name)), std::string::npos)
          << e.what();
    }
  }
  EXPECT_NO_THROW(bindMainWindow(lookup, window.timers()));
}

// A front end that did not build a control the table lists fails the same way.
TEST(WindowBindingTest, AControlTheFrontEndLacksIsNamed) {
  platform::sim::SimClock clock;
  static constexpr ui::ControlLayout kOnly[] = {{.name = "txtX", .kind = ui::ControlKind::TextBox}};
  const ui::WindowLayout partial{
      .caption = "", .clientWidth = 0, .clientHeight = 0, .controls = kOnly};
  frontend::sim::SimWindow window(partial, clock);
  frontend::sim::SimControlLookup lookup(window);
  EXPECT_THROW(bindMainWindow(lookup, window.timers()), std::logic_error);
  EXPECT_THROW(bindAboutWindow(lookup), std::logic_error);
}

}  // namespace
}  // namespace tollivane::app
