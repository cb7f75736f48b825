// Counts heap allocations while the program runs on the simulated platform: once running,
// a Timer1 tick and a Timer2 frame must allocate nothing.
#include <gtest/gtest.h>

#include <optional>

#include "frontend/sim/sim_app.hpp"
#include "frontend/sim/sim_desktop.hpp"
#include "heap_probe.hpp"

namespace tollivane::frontend::sim {
namespace {

long allocationsDuring(auto&& work) { return testing::heapUseDuring(work).allocations; }

TEST(SimAllocation, BareFramesAndPollsAllocateNothing) {
  SimDesktop sim;
  platform::ForegroundSurface& surface = sim.platform().surface;
  platform::KeyState& keys = sim.platform().keys;
  sim.timer1().setOnTick([&] {
    for (std::int16_t code : std::initializer_list<std::int16_t>{16, 17, 18, 116})
      keys.GetAsyncKeyState(code);
  });
  sim.timer2().setOnTick([&] {
    const platform::WindowHandle window = surface.GetForegroundWindow();
    const platform::DeviceContext dc = surface.GetDC(window);
    surface.SetTextColor(dc, 0);
    surface.FillRect(dc, platform::Rect{25, 315, 100, 329}, 0);
    surface.DrawTextA(dc, "00 : 00 : 01", 12, platform::Rect{25, 315, 100, 329},
                      platform::kDtCenter);
    surface.ReleaseDC(window, dc);
  });
  sim.timer1().setInterval(200);
  sim.timer1().setEnabled(true);
  sim.timer2().setInterval(100);
  sim.timer2().setEnabled(true);
  sim.steering().hold({116});
  sim.steering().advance(200);

  EXPECT_EQ(allocationsDuring([&] { sim.steering().advance(10'000); }), 0);
  EXPECT_EQ(sim.steering().surface().calls().DrawTextA, 102u);
  EXPECT_EQ(sim.steering().surface().contextsOut(), 0);
}

TEST(SimAllocation, RunningStopwatchAllocatesNothingPerTickOrFrame) {
  SimDesktop sim;
  // Every binding with all three modifiers: the most key queries a tick can make; and a pad
  // binding, so that every tick reads the pads too.
  ASSERT_EQ(sim.platform().files.updateFile(sim.settingsFile(),
                                            [](const auto&) {
                                              return std::optional<std::string>(
                                                  "[main]\r\nhotkey1=116\r\nhotkey2=117\r\n"
                                                  "hotkey3=118\r\nhotshift1=7\r\nhotshift2=7\r\n"
                                                  "hotshift3=7\r\n[pad]\r\npad3=196608\r\n");
                                            }),
            "");
  SimApp app(sim);
  app.load();
  ASSERT_FALSE(sim.dialogs().ended());
  sim.steering().pads().plugIn(1);
  sim.steering().hold({16, 17, 18, 116});
  sim.steering().advance(200);
  sim.steering().hold({});
  sim.steering().advance(1000);
  ASSERT_TRUE(sim.timer2().enabled());

  const std::uint64_t queriesBefore = sim.steering().keyboard().queries();
  const std::uint64_t framesBefore = sim.steering().surface().calls().DrawTextA;
  const std::uint64_t padReadsBefore = sim.steering().pads().reads();
  EXPECT_EQ(allocationsDuring([&] { sim.steering().advance(60'000); }), 0);
  EXPECT_EQ(sim.steering().pads().reads() - padReadsBefore, 300u);
  EXPECT_EQ(sim.steering().keyboard().queries() - queriesBefore, 300u * 12u);
  EXPECT_EQ(sim.steering().surface().calls().DrawTextA - framesBefore, 600u);
  EXPECT_EQ(sim.steering().surface().contextsOut(), 0);
  EXPECT_EQ(app.form().record().TimeText, "00 : 01 : 01");
}

}  // namespace
}  // namespace tollivane::frontend::sim
