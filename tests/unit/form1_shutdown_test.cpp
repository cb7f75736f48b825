// Closing the window or choosing Exit ends the program at once and saves nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "frontend/sim/sim_app.hpp"
#include "frontend/sim/sim_desktop.hpp"

namespace tollivane::frontend::sim {
namespace {

TEST(Shutdown, EndsAtOnceWhileRunningAndWritesNothing) {
  for (const std::string_view how : {"close", "mnuExit"}) {
    SimDesktop sim;
    SimApp app(sim);
    app.load();
    app.click("mnuPosition");
    app.setText("txtX", "300");  // typed but never saved
    sim.steering().hold({116});
    sim.steering().advance(300);
    ASSERT_TRUE(sim.timer2().enabled());

    if (how == "close") {
      app.close();
    } else {
      app.click(how);
    }
    EXPECT_TRUE(sim.dialogs().ended()) << how;
    EXPECT_FALSE(sim.timer1().enabled()) << how;
    EXPECT_FALSE(sim.timer2().enabled()) << how;
    EXPECT_EQ(sim.steering().surface().calls().DeleteObject, 1u) << how;
    EXPECT_TRUE(sim.dialogs().messageBoxes().empty()) << how;

    const auto frames = sim.steering().surface().calls().DrawTextA;
    const auto ticks = sim.timer1().ticks();
    sim.steering().advance(10'000);
    EXPECT_EQ(sim.steering().surface().calls().DrawTextA, frames) << how;
    EXPECT_EQ(sim.timer1().ticks(), ticks) << how;
    EXPECT_FALSE(std::filesystem::exists(sim.settingsFile())) << how;
  }
}

}  // namespace
}  // namespace tollivane::frontend::sim
