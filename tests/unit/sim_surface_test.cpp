#include "platform/sim/sim_surface.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tollivane::platform::sim {
namespace {

constexpr platform::Rect kRect{25, 315, 100, 329};

// One overlay frame as the renderer draws it.
void frame(SimSurface& s, const char* text, int count) {
  const platform::WindowHandle window = s.GetForegroundWindow();
  const platform::DeviceContext dc = s.GetDC(window);
  s.SetTextColor(dc, 0x00112233);
  s.FillRect(dc, kRect, 0);
  s.DrawTextA(dc, text, count, kRect, platform::kDtCenter);
  s.ReleaseDC(window, dc);
}

TEST(SimSurface, FramesOnAnyForegroundWindowGiveTheirContextBack) {
  SimSurface s;
  EXPECT_EQ(s.GetForegroundWindow(), 1u);
  frame(s, "00 : 00 : 01", 12);
  s.setForeground(0);
  frame(s, "00 : 00 : 02", 12);
  s.setForeground(77);
  frame(s, "00 : 00 : 03", 12);
  EXPECT_EQ(s.contextsOut(), 0);
  EXPECT_EQ(s.badReleases(), 0);
  EXPECT_EQ(s.calls().GetDC, 3u);
  EXPECT_EQ(s.calls().ReleaseDC, 3u);
  EXPECT_EQ(s.calls().DrawTextA, 3u);
  EXPECT_EQ(s.lastText(), "00 : 00 : 03");
  EXPECT_EQ(s.lastTextWindow(), 77u);
  EXPECT_EQ(s.lastTextRect(), kRect);
  EXPECT_EQ(s.lastTextFormat(), platform::kDtCenter);
  EXPECT_EQ(s.lastTextColor(), 0x00112233u);
  EXPECT_EQ(s.lastBrush(), 0u);
}

TEST(SimSurface, ScreenContextIsNonzero) {
  SimSurface s;
  EXPECT_NE(s.GetDC(0), 0u);
  EXPECT_EQ(s.contextsOut(), 1);
}

TEST(SimSurface, ContextsKeptOrGivenBackWronglyShow) {
  SimSurface s;
  const platform::DeviceContext a = s.GetDC(1);
  const platform::DeviceContext b = s.GetDC(1);
  EXPECT_NE(a, b);
  EXPECT_EQ(s.contextsOut(), 2);
  s.ReleaseDC(2, a);  // another window than GetDC's
  EXPECT_EQ(s.badReleases(), 1);
  s.ReleaseDC(1, a);  // no longer out
  EXPECT_EQ(s.badReleases(), 2);
  s.ReleaseDC(1, b);
  EXPECT_EQ(s.contextsOut(), 0);
  EXPECT_EQ(s.badReleases(), 2);
}

TEST(SimSurface, CallsOnContextZeroDoNothing) {
  SimSurface s;
  s.setContextsAvailable(false);
  std::vector<std::string> drawn;
  s.onDraw = [&](const DrawnText& d) { drawn.emplace_back(d.text); };
  frame(s, "00 : 00 : 01", 12);
  EXPECT_EQ(s.calls().GetDC, 1u);
  EXPECT_EQ(s.calls().DrawTextA, 1u);
  EXPECT_EQ(s.contextsOut(), 0);
  EXPECT_EQ(s.badReleases(), 0);
  EXPECT_EQ(s.lastText(), "");
  EXPECT_EQ(s.lastTextColor(), 0u);
  EXPECT_TRUE(drawn.empty());
  s.setContextsAvailable(true);
  frame(s, "00 : 00 : 02", 12);
  EXPECT_EQ(drawn, std::vector<std::string>{"00 : 00 : 02"});
}

TEST(SimSurface, DrawsOnlyTheCountedBytes) {
  SimSurface s;
  std::vector<std::string> drawn;
  std::vector<platform::WindowHandle> windows;
  s.onDraw = [&](const DrawnText& d) {
    drawn.emplace_back(d.text);
    windows.push_back(d.window);
  };
  s.setForeground(9);
  frame(s, "01 : 02 : 05 and more", 12);
  frame(s, "whole", -1);
  frame(s, "none", 0);
  EXPECT_EQ(drawn, (std::vector<std::string>{"01 : 02 : 05", "whole", ""}));
  EXPECT_EQ(windows, (std::vector<platform::WindowHandle>{9, 9, 9}));
}

}  // namespace
}  // namespace tollivane::platform::sim
