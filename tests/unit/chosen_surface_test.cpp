// Each frame goes whole to one of the two ways; the window of our own takes over when the user
// asks or once the window in front paints over the clock, and leaves the screen whenever
// nothing will draw into it again. Scaled, both ways get the same rectangle.
#include "platform/chosen_surface.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim_own_window.hpp"
#include "platform/sim/sim_surface.hpp"
#include "stopwatch/overlay_renderer.hpp"

namespace tollivane::platform {
namespace {

struct Surfaces : ::testing::Test {
  platform::sim::SimSurface direct;
  platform::sim::SimOwnWindow own{direct};
  ChosenSurface chosen{direct, &own};
  std::string text = "00 : 00 : 01";
  DeviceContext dc = 0;

  void frame() { stopwatch::drawOverlayFrame(chosen, text, Rect{25, 315, 100, 329}, {0, 0}, dc); }
  void frames(int count) {
    for (int i = 0; i < count; ++i) frame();
  }
};

TEST_F(Surfaces, FramesGoStraightOntoTheGameUntilTheWindowIsChosen) {
  frame();
  chosen.setOwnWindow(true);
  frame();
  frame();
  chosen.setOwnWindow(false);
  frame();
  EXPECT_EQ(direct.calls().DrawTextA, 2u);
  EXPECT_EQ(own.drawn().calls().DrawTextA, 2u);
  EXPECT_EQ(own.hides(), 1) << "going back to drawing onto the game takes the window away";
  EXPECT_EQ(direct.contextsOut() + own.drawn().contextsOut(), 0);
  EXPECT_EQ(direct.badReleases() + own.drawn().badReleases(), 0);
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
  EXPECT_EQ(own.drawn().calls().GetDC, 0u);
  frame();
  EXPECT_EQ(own.drawn().calls().DrawTextA, 1u);
}

TEST_F(Surfaces, TheWindowHidesOnceWhenFramesStopAndShowsWithTheNext) {
  chosen.setOwnWindow(true);
  chosen.runEnds(false);  // stopped before ever drawing: nothing to hide
  EXPECT_EQ(own.hides(), 0);
  frame();
  chosen.runEnds(true);
  chosen.runEnds(false);  // stop
  chosen.runEnds(false);  // every later handler run says so again
  EXPECT_EQ(own.hides(), 1);
  frame();  // started again
  chosen.runEnds(false);
  EXPECT_EQ(own.hides(), 2);
}

// Over a window that never repaints every frame stays on it, and the screen is looked at
// every fifth frame after the third, never more often.
TEST_F(Surfaces, AStillWindowKeepsTheClockDrawnOntoIt) {
  frames(50);
  EXPECT_EQ(direct.calls().DrawTextA, 50u);
  EXPECT_EQ(direct.calls().lookAtLastClock, 10u);
  EXPECT_EQ(own.drawn().calls().GetForegroundWindow, 0u);
  EXPECT_EQ(own.hides(), 0);
}

TEST_F(Surfaces, AGameThatPaintsOverTheClockGetsTheWindowOfOurOwnUntilAnotherWindowIsInFront) {
  direct.setRepainting(true);
  frames(7);
  EXPECT_EQ(direct.calls().lookAtLastClock, 1u);
  frame();  // the second look in a row finds the clock gone: this frame goes to our window
  EXPECT_EQ(direct.calls().DrawTextA, 7u);
  EXPECT_EQ(own.drawn().calls().DrawTextA, 1u);
  EXPECT_EQ(own.drawn().lastTextRect(), (Rect{25, 315, 100, 329})) << "the same place";

  chosen.runEnds(false);  // stopped and started again over the same game: straight to our window
  frames(20);
  EXPECT_EQ(own.drawn().calls().DrawTextA, 21u);
  EXPECT_EQ(direct.calls().lookAtLastClock, 2u) << "no look while our window shows the clock";

  direct.setRepainting(false);
  direct.setForeground(2);  // the next window in front starts again by drawing onto it
  const int hides = own.hides();
  frames(10);
  EXPECT_EQ(own.hides(), hides + 1);
  EXPECT_EQ(direct.calls().DrawTextA, 17u);
  EXPECT_EQ(own.drawn().calls().DrawTextA, 21u);
  EXPECT_EQ(direct.contextsOut() + own.drawn().contextsOut(), 0);
  EXPECT_EQ(direct.badReleases() + own.drawn().badReleases(), 0);
}

// A window passing over the game, or one repaint of it, covers the clock until the next frame.
TEST_F(Surfaces, OneLookFindingTheClockGoneBetweenOthersKeepsItDrawnOntoTheGame) {
  for (int look = 0; look < 6; ++look) {
    direct.setRepainting(look % 2 == 0);
    frames(look == 0 ? 3 : 5);
  }
  EXPECT_EQ(direct.calls().lookAtLastClock, 6u);
  EXPECT_EQ(own.drawn().calls().GetForegroundWindow, 0u);
}

TEST_F(Surfaces, ScaledTheRectangleAndTextFollowTheGamesClientArea) {
  struct Case {
    Size client;
    Rect rect;
    int textHeight;  // 0: the context's own font, as unscaled
  };
  const Case cases[] = {
      {{1920, 1080}, {75, 709, 244, 741}, 32},
      {{640, 480}, {25, 315, 100, 329}, 0},
      {{800, 400}, {31, 262, 106, 276}, 0},  // 262.5 rounds to the even 262; never below 1
      {{3840, 2160}, {150, 1418, 488, 1481}, 63},
  };
  chosen.setScaleToGame(true);
  for (const Case& c : cases) {
    direct.setClientSize(c.client);
    frame();
    EXPECT_EQ(direct.lastTextRect(), c.rect) << c.client.width << " x " << c.client.height;
    EXPECT_EQ(direct.lastTextHeight(), c.textHeight) << c.client.width << " x " << c.client.height;
  }
  chosen.setOwnWindow(true);
  frame();
  EXPECT_EQ(own.drawn().lastTextRect(), (Rect{150, 1418, 488, 1481})) << "both ways alike";
  EXPECT_EQ(own.drawn().lastTextHeight(), 63);
  chosen.setScaleToGame(false);
  frame();
  EXPECT_EQ(own.drawn().lastTextRect(), (Rect{25, 315, 100, 329}));
  EXPECT_EQ(own.drawn().lastTextHeight(), 0);
}

TEST_F(Surfaces, UnderXWaylandNoWindowOfTheServerInFrontGetsTheWindowOfOurOwn) {
  for (const bool seen : {true, false}) {
    direct.setScreenSeen(seen);
    for (const WindowHandle front : {0, 2, 0, 2}) {
      direct.setForeground(front);
      frame();
      EXPECT_EQ(chosen.drawsIntoOwnWindow(), !seen && front == 0) << seen << front;
    }
  }
  EXPECT_EQ(own.hides(), 2) << "gone whenever a window of the server came in front";
}

TEST(ChosenSurface, WithoutAWindowOfItsOwnEveryFrameGoesStraightOntoTheGame) {
  platform::sim::SimSurface direct;
  direct.setRepainting(true);
  ChosenSurface chosen{direct, nullptr};
  chosen.setOwnWindow(true);
  DeviceContext dc = 0;
  for (int i = 0; i < 10; ++i) {
    stopwatch::drawOverlayFrame(chosen, "00 : 00 : 01", Rect{25, 315, 100, 329}, {0, 0}, dc);
  }
  chosen.runEnds(false);
  EXPECT_EQ(direct.calls().DrawTextA, 10u);
  EXPECT_EQ(direct.calls().lookAtLastClock, 0u) << "nothing to move to: no look";
  EXPECT_EQ(direct.contextsOut(), 0);
}

// Gamescope: whatever the user chose and whatever is in front, nothing goes onto the game.
TEST(ChosenSurface, OwnWindowOnlyNeverDrawsOntoTheGameNorLooks) {
  platform::sim::SimSurface direct;
  platform::sim::SimOwnWindow own{direct};
  ChosenSurface chosen{direct, &own, true};
  chosen.setOwnWindow(false);
  DeviceContext dc = 0;
  for (const WindowHandle front : {0, 2, 3, 0, 2, 2, 2, 2, 2, 2}) {
    direct.setForeground(front);
    stopwatch::drawOverlayFrame(chosen, "00 : 00 : 01", Rect{25, 315, 100, 329}, {0, 0}, dc);
  }
  chosen.runEnds(false);
  EXPECT_EQ(direct.calls().DrawTextA, 0u);
  EXPECT_EQ(own.drawn().calls().DrawTextA, 10u);
  EXPECT_EQ(direct.calls().lookAtLastClock, 0u);
  EXPECT_EQ(own.hides(), 1) << "only when the frames stop";
}

}  // namespace
}  // namespace tollivane::platform
