// Each frame goes whole to one of the two ways, and the window of our own leaves the screen
// whenever nothing will draw into it again: when frames stop and when the user goes back to
// drawing straight onto the game.
#include "platform/chosen_surface.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim_surface.hpp"
#include "stopwatch/overlay_renderer.hpp"

namespace tollivane::platform {
namespace {

class FakeOwnWindow final : public OwnWindowSurface {
 public:
  platform::sim::SimSurface drawn;  // records the frames that reach this window
  int hides = 0;
  void hide() override { ++hides; }

  WindowHandle GetForegroundWindow() override { return drawn.GetForegroundWindow(); }
  DeviceContext GetDC(WindowHandle window) override { return drawn.GetDC(window); }
  void ReleaseDC(WindowHandle window, DeviceContext dc) override { drawn.ReleaseDC(window, dc); }
  void SetTextColor(DeviceContext dc, ColorRef color) override { drawn.SetTextColor(dc, color); }
  void FillRect(DeviceContext dc, const Rect& rect, BrushHandle brush) override {
    drawn.FillRect(dc, rect, brush);
  }
  void DrawTextA(DeviceContext dc, const char* text, int count, const Rect& rect,
                 unsigned format) override {
    drawn.DrawTextA(dc, text, count, rect, format);
  }
  void DeleteObject(BrushHandle object) override { drawn.DeleteObject(object); }
};

struct Surfaces : ::testing::Test {
  platform::sim::SimSurface direct;
  FakeOwnWindow own;
  ChosenSurface chosen{direct, &own};
  std::string text = "00 : 00 : 01";
  DeviceContext dc = 0;

  void frame() { stopwatch::drawOverlayFrame(chosen, text, Rect{25, 315, 100, 329}, {0, 0}, dc); }
};

TEST_F(Surfaces, FramesGoStraightOntoTheGameUntilTheWindowIsChosen) {
  frame();
  chosen.setOwnWindow(true);
  frame();
  frame();
  chosen.setOwnWindow(false);
  frame();
  EXPECT_EQ(direct.calls().DrawTextA, 2u);
  EXPECT_EQ(own.drawn.calls().DrawTextA, 2u);
  EXPECT_EQ(own.hides, 1) << "going back to drawing onto the game takes the window away";
  EXPECT_EQ(direct.contextsOut() + own.drawn.contextsOut(), 0);
  EXPECT_EQ(direct.badReleases() + own.drawn.badReleases(), 0);
}

// A switch between a frame's GetDC and its ReleaseDC must not send the context to the surface
// that did not hand it out.
TEST_F(Surfaces, ASwitchWithinAFrameWaitsForTheNextOne) {
  const WindowHandle window = chosen.GetForegroundWindow();
  const DeviceContext context = chosen.GetDC(window);
  chosen.setOwnWindow(true);
  chosen.DrawTextA(context, text.c_str(), static_cast<int>(text.size()), Rect{0, 0, 75, 14},
                   kDtCenter);
  chosen.ReleaseDC(window, context);
  EXPECT_EQ(direct.calls().DrawTextA, 1u);
  EXPECT_EQ(direct.contextsOut(), 0);
  EXPECT_EQ(own.drawn.calls().GetDC, 0u);
  frame();
  EXPECT_EQ(own.drawn.calls().DrawTextA, 1u);
}

TEST_F(Surfaces, TheWindowHidesOnceWhenFramesStopAndShowsWithTheNext) {
  chosen.setOwnWindow(true);
  chosen.runEnds(false);  // stopped before ever drawing: nothing to hide
  EXPECT_EQ(own.hides, 0);
  frame();
  chosen.runEnds(true);
  chosen.runEnds(false);  // stop
  chosen.runEnds(false);  // every later handler run says so again
  EXPECT_EQ(own.hides, 1);
  frame();  // started again
  chosen.runEnds(false);
  EXPECT_EQ(own.hides, 2);
}

TEST(ChosenSurface, WithoutAWindowOfItsOwnEveryFrameGoesStraightOntoTheGame) {
  platform::sim::SimSurface direct;
  ChosenSurface chosen{direct, nullptr};
  chosen.setOwnWindow(true);
  DeviceContext dc = 0;
  stopwatch::drawOverlayFrame(chosen, "00 : 00 : 01", Rect{25, 315, 100, 329}, {0, 0}, dc);
  chosen.runEnds(false);
  EXPECT_EQ(direct.calls().DrawTextA, 1u);
  EXPECT_EQ(direct.contextsOut(), 0);
}

}  // namespace
}  // namespace tollivane::platform
