// Closing the window or choosing Exit ends the program at once and saves nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "frontend/sim/sim_app.hpp"
#include "frontend/sim/sim_platform.hpp"

namespace tollivane::frontend::sim {
namespace {

TEST(Shutdown, EndsAtOnceWhileRunningAndWritesNothing) {
  for (const std::string_view how : {"close", "mnuExit"}) {
    SimPlatform sim;
    SimApp app(sim);
    app.load();
    app.click("mnuPosition");
    app.setText("txtX", "300");  // typed but never saved
    sim.keyboard().hold({116});
    sim.clock().advance(300);
    ASSERT_TRUE(sim.timer2().enabled());

    if (how == "close") {
      app.close();
    } else {
      app.click(how);
    }
    EXPECT_TRUE(sim.shell().ended()) << how;
    EXPECT_FALSE(sim.timer1().enabled()) << how;
    EXPECT_FALSE(sim.timer2().enabled()) << how;
    EXPECT_EQ(sim.surface().calls().DeleteObject, 1u) << how;
    EXPECT_TRUE(sim.shell().messageBoxes().empty()) << how;

    const auto frames = sim.surface().calls().DrawTextA;
    const auto ticks = sim.timer1().ticks();
    sim.clock().advance(10'000);
    EXPECT_EQ(sim.surface().calls().DrawTextA, frames) << how;
    EXPECT_EQ(sim.timer1().ticks(), ticks) << how;
    EXPECT_FALSE(std::filesystem::exists(sim.settingsFile())) << how;
  }
}

}  // namespace
}  // namespace tollivane::frontend::sim
