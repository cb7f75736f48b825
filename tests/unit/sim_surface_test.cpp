#include "platform/sim/sim_surface.hpp"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "contract/surface_contract.hpp"
#include "platform/sim/sim_raster.hpp"

namespace tollivane::platform::sim {
namespace {

using contract::Pixels;

// The simulation knows no windows: one that vanishes refuses contexts until another comes in
// front. What each shows is rastered from the texts drawn onto it, as the machine's font lays
// them out.
class SimDesktop final : public contract::Desktop {
 public:
  SimDesktop() {
    surface_.onDraw = [this](const DrawnText& d) {
      drawn_[d.window].push_back({std::string(d.text), d.rect, d.format, surface_.lastTextColor()});
      surface_.setRepainting(false);
    };
  }
  ForegroundSurface& surface() override { return surface_; }
  WindowHandle open() override {
    focus(++last_);
    return last_;
  }
  void focus(WindowHandle window) override {
    surface_.setContextsAvailable(true);
    surface_.setForeground(window);
  }
  void repaint(WindowHandle window) override {
    drawn_.erase(window);
    surface_.setRepainting(true);
  }
  void close(WindowHandle window) override {
    drawn_.erase(window);
    surface_.setContextsAvailable(false);
  }
  Pixels look(WindowHandle window, const Rect& area) override {
    Pixels pixels(static_cast<std::size_t>((area.Right - area.Left) * (area.Bottom - area.Top)),
                  kBackground);
    for (const Text& t : drawn_[window]) {
      rasterText(t.text, t.rect, t.format, t.color, area, pixels);
    }
    return pixels;
  }
  BrushHandle brush() override { return 0x77; }

 private:
  static constexpr std::uint32_t kBackground = 0x204060;
  struct Text {
    std::string text;
    Rect rect;
    unsigned format;
    ColorRef color;
  };
  SimSurface surface_;
  WindowHandle last_ = 0;
  std::map<WindowHandle, std::vector<Text>> drawn_;
};

using contract::SurfaceContract;
INSTANTIATE_TEST_SUITE_P(Sim, SurfaceContract,
                         ::testing::Values(contract::SurfaceKit{
                             "Sim", [] { return std::make_unique<SimDesktop>(); }}),
                         contract::surfaceKitName);

constexpr Rect kRect{25, 315, 100, 329};

// One overlay frame as the renderer draws it.
void frame(SimSurface& s, const char* text, int count) {
  const WindowHandle window = s.GetForegroundWindow();
  const DeviceContext dc = s.GetDC(window);
  s.SetTextColor(dc, 0x00112233);
  s.FillRect(dc, kRect, 0);
  s.DrawTextA(dc, text, count, kRect, kDtCenter);
  s.ReleaseDC(window, dc);
}

// What tests read back of the frames; a count of -1 draws up to the zero, as Windows does.
TEST(SimSurface, FramesAreCountedAndRecorded) {
  SimSurface s;
  EXPECT_EQ(s.GetForegroundWindow(), 1u);
  frame(s, "00 : 00 : 01", 12);
  s.setForeground(0);
  frame(s, "00 : 00 : 02", 12);
  s.setForeground(77);
  frame(s, "00 : 00 : 03", -1);
  EXPECT_EQ(s.contextsOut(), 0);
  EXPECT_EQ(s.badReleases(), 0);
  EXPECT_EQ(s.calls().GetDC, 3u);
  EXPECT_EQ(s.calls().ReleaseDC, 3u);
  EXPECT_EQ(s.calls().DrawTextA, 3u);
  EXPECT_EQ(s.lastText(), "00 : 00 : 03");
  EXPECT_EQ(s.lastTextWindow(), 77u);
  EXPECT_EQ(s.lastTextRect(), kRect);
  EXPECT_EQ(s.lastTextFormat(), kDtCenter);
  EXPECT_EQ(s.lastTextColor(), 0x00112233u);
  EXPECT_EQ(s.lastBrush(), 0u);
}

TEST(SimSurface, ContextsKeptOrGivenBackWronglyShow) {
  SimSurface s;
  const DeviceContext a = s.GetDC(1);
  const DeviceContext b = s.GetDC(1);
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

}  // namespace
}  // namespace tollivane::platform::sim
