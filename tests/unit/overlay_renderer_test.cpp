#include "stopwatch/overlay_renderer.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/runtime_error.hpp"

namespace tollivane::stopwatch {
namespace {

class RecordingSurface : public platform::ForegroundSurface {
 public:
  platform::WindowHandle foreground = 1;
  platform::DeviceContext nextDc = 77;
  std::vector<std::string> calls;

  platform::WindowHandle GetForegroundWindow() override {
    calls.push_back("GetForegroundWindow");
    return foreground;
  }
  platform::DeviceContext GetDC(platform::WindowHandle w) override {
    calls.push_back("GetDC " + std::to_string(w));
    return nextDc;
  }
  void ReleaseDC(platform::WindowHandle w, platform::DeviceContext dc) override {
    calls.push_back("ReleaseDC " + std::to_string(w) + " " + std::to_string(dc));
  }
  void SetTextColor(platform::DeviceContext dc, platform::ColorRef c) override {
    calls.push_back("SetTextColor " + std::to_string(dc) + " " + std::to_string(c));
  }
  void FillRect(platform::DeviceContext dc, const platform::Rect& r,
                platform::BrushHandle b) override {
    calls.push_back("FillRect " + std::to_string(dc) + " " + text(r) + " " + std::to_string(b));
  }
  void DrawTextA(platform::DeviceContext dc, const char* t, int count, const platform::Rect& r,
                 unsigned format) override {
    calls.push_back("DrawTextA " + std::to_string(dc) + " '" + std::string(t, count) + "' " +
                    text(r) + " " + std::to_string(format));
  }
  void DeleteObject(platform::BrushHandle) override {}

 private:
  static std::string text(const platform::Rect& r) {
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) +
           "," + std::to_string(r.Bottom);
  }
};

TEST(OverlayRect, IsSeventyFiveByFourteenWithinSixteenBits) {
  EXPECT_EQ(overlayRectFor(25, 315), (platform::Rect{25, 315, 100, 329}));
  EXPECT_EQ(overlayRectFor(0, 0), (platform::Rect{0, 0, 75, 14}));
  EXPECT_EQ(overlayRectFor(32692, 32753), (platform::Rect{32692, 32753, 32767, 32767}));
  EXPECT_EQ(overlayRectFor(-32768, -32768), (platform::Rect{-32768, -32768, -32693, -32754}));
  EXPECT_THROW(overlayRectFor(32693, 0), RuntimeError);
  EXPECT_THROW(overlayRectFor(0, 32754), RuntimeError);
}

TEST(OverlayFrame, DrawsOnTheForegroundWindowAndGivesTheContextBack) {
  for (const platform::WindowHandle window :
       {platform::WindowHandle{42}, platform::WindowHandle{0}}) {
    RecordingSurface surface;
    surface.foreground = window;
    platform::DeviceContext dc = 0;
    drawOverlayFrame(surface, "00 : 01 : 02", {25, 315, 100, 329}, {0, 0}, dc);
    const std::string w = std::to_string(window);
    const std::vector<std::string> expected{
        "GetForegroundWindow",
        "GetDC " + w,
        "SetTextColor 77 0",
        "FillRect 77 25,315,100,329 0",
        "DrawTextA 77 '00 : 01 : 02' 25,315,100,329 1",
        "ReleaseDC " + w + " 77",
    };
    EXPECT_EQ(surface.calls, expected);
    EXPECT_EQ(dc, 77u);
  }
}

}  // namespace
}  // namespace tollivane::stopwatch
