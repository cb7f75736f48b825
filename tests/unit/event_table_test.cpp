// Every route of the windows' event table reaches its own handler, and nothing gets past the
// program's end or a run-time error.
#include "app/event_table.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "common/runtime_error.hpp"
#include "common/virtual_keys.hpp"
#include "frontend/sim/sim_desktop.hpp"
#include "platform/sim/sim_machine.hpp"
#include "ui/about/about_text.hpp"

namespace tollivane::app {
namespace {

using frontend::sim::SimDesktop;

struct Window {
  SimDesktop sim;
  Form1 form{sim.platform(), sim.dialogs(), sim.mainWindowControls()};
  EventTable events{form, sim.dialogs(), sim.platform().runs};

  Window() { sim.dialogs().setEvents(&events); }

  std::string settings() const {
    std::ifstream in(sim.settingsFile());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  bool visible(std::string_view panel) { return sim.mainWindow().panel(panel)->visible(); }
  const platform::sim::SimShortcuts& shortcuts() {
    return dynamic_cast<const platform::sim::SimShortcuts&>(sim.platform().shortcuts);
  }
};

struct RouteCase {
  std::function<void(Window&)> before;  // after start-up, before the event
  std::function<void(Window&)> check;   // what only this handler does
};

const std::map<std::string, RouteCase>& cases() {
  static const std::map<std::string, RouteCase> kCases = {
      {"Form Load",
       {[](Window&) {},
        [](Window& w) {
          EXPECT_TRUE(w.sim.timer1().enabled());
          EXPECT_EQ(w.form.qvHotKey1().Text(), "F5");
        }}},
      {"Form Shown",
       {[](Window& w) {
          std::ofstream(w.sim.settingsFile()) << "[rect]\nX=99999\n";
          w.events.fire("Form", Event::Load);
        },
        [](Window& w) { EXPECT_EQ(w.sim.dialogs().messageBoxes().size(), 1u); }}},
      {"Form QueryUnload",
       {[](Window&) {}, [](Window& w) { EXPECT_TRUE(w.sim.dialogs().ended()); }}},
      {"Timer1 Timer",
       {[](Window& w) { w.sim.steering().hold({vk::kF5}); },
        [](Window& w) { EXPECT_TRUE(w.sim.timer2().enabled()); }}},
      {"Timer2 Timer",
       {[](Window&) {},
        [](Window& w) { EXPECT_EQ(w.sim.steering().surface().calls().DrawTextA, 1u); }}},
      {"Command1 Click",
       {[](Window& w) { w.form.qvHotKey2().qvSetHotKey(vk::kF12, vk::kAltBit); },
        [](Window& w) { EXPECT_EQ(w.form.qvHotKey2().Text(), "F6"); }}},
      {"Command2 Click",
       {[](Window& w) {
          w.events.fire("mnuDesktopShortcuts", Event::Click);
          w.form.qvHotKey1().qvSetHotKey(vk::kF12, vk::kControlBit);
        },
        [](Window& w) {
          EXPECT_NE(w.settings().find("hotkey1=123"), std::string::npos);
          // The desktop's shortcuts are bound again, to the keys saved.
          EXPECT_EQ(w.shortcuts().asked, 2);
          EXPECT_EQ(w.shortcuts().bound[0][0], vk::kF12);
          EXPECT_EQ(w.shortcuts().bound[1][0], vk::kControlBit);
        }}},
      {"Command3 Click",
       {[](Window& w) { w.sim.mainWindow().textBox("txtX")->setText("7"); },
        [](Window& w) { EXPECT_EQ(w.sim.mainWindow().textBox("txtX")->text(), "25"); }}},
      {"Command4 Click",
       {[](Window& w) { w.sim.mainWindow().textBox("txtX")->setText("40"); },
        [](Window& w) { EXPECT_NE(w.settings().find("X=40"), std::string::npos); }}},
      {"mnuHotkeys Click", {[](Window&) {}, [](Window& w) { EXPECT_TRUE(w.visible("Frame1")); }}},
      {"mnuPosition Click", {[](Window&) {}, [](Window& w) { EXPECT_TRUE(w.visible("Frame2")); }}},
      {"mnuOverlayWindow Click",
       {[](Window&) {},
        [](Window& w) {
          EXPECT_TRUE(w.sim.steering().chosen().ownWindowChosen());
          EXPECT_NE(w.settings().find("window=1"), std::string::npos);
        }}},
      {"mnuScaleToGame Click",
       {[](Window&) {},
        [](Window& w) {
          EXPECT_TRUE(w.sim.steering().chosen().scalesToGame());
          EXPECT_NE(w.settings().find("scale=1"), std::string::npos);
        }}},
      {"mnuDesktopShortcuts Click",
       {[](Window&) {},
        [](Window& w) {
          EXPECT_TRUE(w.shortcuts().on);
          EXPECT_EQ(w.shortcuts().bound[0],
                    (std::array<std::int16_t, 3>{vk::kF5, vk::kF6, vk::kF7}));
          EXPECT_NE(w.settings().find("portal=1"), std::string::npos);
        }}},
      {"mnuAbout Click",
       {[](Window&) {}, [](Window& w) { EXPECT_TRUE(w.sim.dialogs().aboutOpen()); }}},
      {"mnuExit Click", {[](Window&) {}, [](Window& w) { EXPECT_TRUE(w.sim.dialogs().ended()); }}},
      {"frmAbout Load",
       {[](Window& w) {
          w.events.fire("mnuAbout", Event::Click);
          w.sim.aboutWindow().label("lblDescription")->setCaption("");
        },
        [](Window& w) {
          EXPECT_EQ(w.sim.aboutWindow().label("lblDescription")->caption(),
                    ui::aboutDescriptionText());
        }}},
      {"cmdOK Click",
       {[](Window& w) { w.events.fire("mnuAbout", Event::Click); },
        [](Window& w) { EXPECT_FALSE(w.sim.dialogs().aboutOpen()); }}},
  };
  return kCases;
}

std::string nameOf(const EventRoute& route) {
  static constexpr const char* kEvents[] = {"Load", "Shown", "QueryUnload", "Timer", "Click"};
  return std::string(route.control) + " " + kEvents[static_cast<int>(route.event)];
}

TEST(EventTable, EveryRouteReachesItsHandler) {
  std::size_t routes = 0;
  for (const EventRoute& route : EventTable::routes()) {
    ++routes;
    const std::string name = nameOf(route);
    const auto found = cases().find(name);
    ASSERT_NE(found, cases().end()) << name << " has no case here";
    Window w;
    // Everything but the load itself starts from a loaded window; Timer2 draws only
    // while the overlay runs.
    if (name != "Form Load" && name != "Form Shown") w.events.fire("Form", Event::Load);
    if (name == "Timer2 Timer") w.form.funStart();
    found->second.before(w);
    w.events.fire(route.control, route.event);
    SCOPED_TRACE(name);
    found->second.check(w);
  }
  EXPECT_EQ(routes, cases().size());
}

TEST(EventTable, EventsWithoutRouteDoNothing) {
  Window w;
  w.events.fire("Form", Event::Load);
  for (const auto& [control, event] :
       {std::pair{"Timer1", Event::Click}, std::pair{"Command9", Event::Click},
        std::pair{"txtX", Event::Click}}) {
    EXPECT_FALSE(EventTable::lists(control, event)) << control;
    w.events.fire(control, event);
  }
  EXPECT_EQ(w.sim.steering().keyboard().queries(), 0u);
  EXPECT_TRUE(w.sim.dialogs().messageBoxes().empty());
}

TEST(EventTable, CaptureKeyDownsReachTheirOwnControl) {
  Window w;
  w.events.fire("Form", Event::Load);
  w.events.keyDown("qvHotKey3", vk::kF5 + 4, vk::kControlBit);
  EXPECT_EQ(w.form.qvHotKey3().Text(), "CTRL+F9");
  EXPECT_EQ(w.form.qvHotKey1().Text(), "F5");
  EXPECT_EQ(w.form.qvHotKey2().Text(), "F6");
  w.events.keyDown("txtX", vk::kF5, 0);  // not a capture control
  EXPECT_EQ(w.sim.mainWindow().textBox("txtX")->text(), "25");
}

// A window of our own stays on the screen until told that no frame will come: after every
// handler run the surface hears whether Timer2 still runs, whichever handler switched it.
TEST(EventTable, TheSurfaceHearsWhenFramesStopAfterEveryRun) {
  struct Step {
    const char* what;
    std::function<void(Window&)> run;
    bool framesComing;
  };
  const auto poll = [](int key) {
    return [key](Window& w) {
      w.sim.steering().hold({key});
      w.events.fire("Timer1", Event::Timer);
      w.sim.steering().hold({});
    };
  };
  const Step steps[] = {
      {"loaded", [](Window& w) { w.events.fire("Form", Event::Load); }, false},
      {"started", poll(vk::kF5), true},
      {"a frame", [](Window& w) { w.events.fire("Timer2", Event::Timer); }, true},
      {"paused", poll(vk::kF6), true},
      {"stopped", poll(vk::kF7), false},
      {"started again", poll(vk::kF5), true},
      {"a menu entry", [](Window& w) { w.events.fire("mnuHotkeys", Event::Click); }, true},
      {"ended while running", [](Window& w) { w.events.fire("mnuExit", Event::Click); }, false},
  };
  Window w;
  for (const Step& step : steps) {
    step.run(w);
    EXPECT_EQ(w.sim.steering().chosen().framesComing(), step.framesComing) << step.what;
  }
}

TEST(EventTable, NothingRunsOnceTheProgramHasEnded) {
  Window w;
  w.events.fire("Form", Event::Load);
  w.events.fire("mnuExit", Event::Click);
  ASSERT_TRUE(w.sim.dialogs().ended());
  w.events.fire("mnuHotkeys", Event::Click);
  w.events.fire("Timer1", Event::Timer);
  w.events.keyDown("qvHotKey1", vk::kF12, 0);
  EXPECT_FALSE(w.visible("Frame1"));
  EXPECT_EQ(w.sim.steering().keyboard().queries(), 0u);
  EXPECT_EQ(w.form.qvHotKey1().Text(), "F5");
}

TEST(EventTable, AnUncaughtRunTimeErrorIsReportedOnceAndEnds) {
  Window w;
  w.events.run([] { throw RuntimeError(6, "Overflow"); });
  w.events.run([] { throw RuntimeError(9, "Subscript out of range"); });
  ASSERT_EQ(w.sim.dialogs().runtimeErrors().size(), 1u);
  EXPECT_EQ(w.sim.dialogs().runtimeErrors()[0].number, 6);
  EXPECT_TRUE(w.sim.dialogs().ended());
}

}  // namespace
}  // namespace tollivane::app
