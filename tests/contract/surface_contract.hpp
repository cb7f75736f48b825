// What every drawing surface promises the overlay, written once: each adapter's test file
// instantiates SurfaceContract with a kit that makes the adapter, opens windows for it to draw
// on and reads back what the user sees.
//   INSTANTIATE_TEST_SUITE_P(X11, SurfaceContract, ::testing::Values(x11Kit()), surfaceKitName);
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/chosen_surface.hpp"
#include "platform/platform.hpp"

namespace tollivane::contract {

using Pixels = std::vector<std::uint32_t>;  // 0xRRGGBB, row by row

// One adapter and a desktop of the test's own windows, each of one colour that is neither
// black, white nor a text colour below, 340 x 400, each a little below and right of the one
// before.
class Desktop {
 public:
  virtual ~Desktop() = default;
  virtual platform::ForegroundSurface& surface() = 0;
  // The same way with its text height, where surface() chooses the way itself.
  virtual platform::OverlayWay* way() { return dynamic_cast<platform::OverlayWay*>(&surface()); }
  // The way that looks at the screen where it drew; none where what is drawn always shows.
  virtual platform::DirectSurface* direct() {
    return dynamic_cast<platform::DirectSurface*>(way());
  }
  // A new window, in front of the others once this returns.
  virtual platform::WindowHandle open() = 0;
  // Brings `window` to the front; 0: none of the test's windows is in front.
  virtual void focus(platform::WindowHandle window) = 0;
  // The window paints all of itself again, as a game does each frame.
  virtual void repaint(platform::WindowHandle window) = 0;
  // Destroys it: from now on it names no window.
  virtual void close(platform::WindowHandle window) = 0;
  // What the user sees at `area` of the window's client area (of the screen for 0), once all
  // that was drawn has reached the screen.
  virtual Pixels look(platform::WindowHandle window, const platform::Rect& area) = 0;
  // What `area` of a window not drawn on before shows once `text` is drawn as promised, where
  // the kit can render the text itself.
  virtual std::optional<Pixels> expected(const std::string& /*text*/,
                                         const platform::Rect& /*rect*/,
                                         const platform::Rect& /*area*/,
                                         platform::ColorRef /*color*/) {
    return std::nullopt;
  }
  // A brush as other code in the process may have made one, and whether it is still there.
  virtual platform::BrushHandle brush() { return 0x00FF00; }
  virtual bool brushKept(platform::BrushHandle) { return true; }
};

struct SurfaceKit {
  std::string name;
  std::function<std::unique_ptr<Desktop>()> make;
};

inline void PrintTo(const SurfaceKit& kit, std::ostream* out) { *out << kit.name; }

inline std::string surfaceKitName(const ::testing::TestParamInfo<SurfaceKit>& info) {
  return info.param.name;
}

inline constexpr platform::Rect kOverlay{25, 315, 100, 329};

// The rectangle and a margin around it, cut at the client area's top and left edges.
inline platform::Rect around(const platform::Rect& r) {
  return {std::max(r.Left - 4, 0), std::max(r.Top - 4, 0), r.Right + 4, r.Bottom + 4};
}

inline std::uint32_t rgbOf(platform::ColorRef color) {
  return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

// Where two looks at `area` differ, in client coordinates.
struct Change {
  int pixels = 0;
  int inColor = 0;  // of those, how many show the given colour
  int outside = 0;  // of those, how many lie outside the rectangle
  platform::Rect box{1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
};

inline Change changeOf(const Pixels& before, const Pixels& after, const platform::Rect& area,
                       const platform::Rect& rect, std::uint32_t rgb) {
  Change change;
  const int width = area.Right - area.Left;
  for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
    if (before[i] == after[i]) continue;
    const int x = area.Left + static_cast<int>(i) % width;
    const int y = area.Top + static_cast<int>(i) / width;
    ++change.pixels;
    if (after[i] == rgb) ++change.inColor;
    if (x < rect.Left || x >= rect.Right || y < rect.Top || y >= rect.Bottom) ++change.outside;
    change.box = {std::min(change.box.Left, x), std::min(change.box.Top, y),
                  std::max(change.box.Right, x + 1), std::max(change.box.Bottom, y + 1)};
  }
  return change;
}

class SurfaceContract : public ::testing::TestWithParam<SurfaceKit> {
 protected:
  void SetUp() override {
    desktop_ = GetParam().make();
    ASSERT_TRUE(desktop_);
  }
  platform::ForegroundSurface& surface() { return desktop_->surface(); }
  // One frame as the overlay draws it, onto `window`.
  void frame(platform::WindowHandle window, const std::string& text, int count,
             const platform::Rect& rect, platform::ColorRef color = 0,
             platform::BrushHandle brush = 0) {
    const platform::DeviceContext dc = surface().GetDC(window);
    surface().SetTextColor(dc, color);
    surface().FillRect(dc, rect, brush);
    surface().DrawTextA(dc, text.c_str(), count, rect, platform::kDtCenter);
    surface().ReleaseDC(window, dc);
  }
  void frame(platform::WindowHandle window, const std::string& text, const platform::Rect& rect,
             platform::ColorRef color = 0) {
    frame(window, text, static_cast<int>(text.size()), rect, color);
  }
  // Draws the frame and says what changed around its rectangle.
  Change drawn(platform::WindowHandle window, const std::string& text, const platform::Rect& rect,
               platform::ColorRef color = 0) {
    const platform::Rect area = around(rect);
    const Pixels before = desktop_->look(window, area);
    frame(window, text, rect, color);
    after_ = desktop_->look(window, area);
    return changeOf(before, after_, area, rect, rgbOf(color));
  }

  std::unique_ptr<Desktop> desktop_;
  Pixels after_;  // the last look of drawn()
};

TEST_P(SurfaceContract, TheWindowInFrontIsNamed) {
  const platform::WindowHandle first = desktop_->open();
  const platform::WindowHandle second = desktop_->open();
  EXPECT_EQ(surface().GetForegroundWindow(), second);
  desktop_->focus(first);
  EXPECT_EQ(surface().GetForegroundWindow(), first);
  desktop_->focus(0);
  const platform::WindowHandle none = surface().GetForegroundWindow();
  EXPECT_NE(none, first);
  EXPECT_NE(none, second);
  desktop_->focus(second);
  EXPECT_EQ(surface().GetForegroundWindow(), second);
}

// Contexts go back when given back: a frame after many still gets one, and the screen's too.
TEST_P(SurfaceContract, EveryWindowAndTheScreenGiveAContext) {
  const platform::WindowHandle window = desktop_->open();
  for (int i = 0; i < 50; ++i) {
    const platform::DeviceContext dc = surface().GetDC(i % 2 ? window : 0);
    ASSERT_NE(dc, 0u) << i;
    surface().ReleaseDC(i % 2 ? window : 0, dc);
  }
  // Window 0: the screen, in screen coordinates.
  const Change onScreen = drawn(0, "00 : 00 : 07", {150, 100, 225, 114});
  EXPECT_GT(onScreen.inColor, 10);
  EXPECT_EQ(onScreen.outside, 0);
}

TEST_P(SurfaceContract, TextIsCentredAtTheTopOnOneLineAndClippedToItsRectangle) {
  const platform::WindowHandle window = desktop_->open();
  // Longer than one request holds, its end in the window: cut short, it would show less there.
  std::string seconds;
  for (int i = 0; i < 24; ++i) {
    // Piece by piece: one sum of texts sets off a false overlap warning of GCC 12's at -O3.
    seconds += "00 : 00 : ";
    seconds += std::to_string(10 + i);
    seconds += ' ';
  }
  struct Case {
    const char* text;
    platform::Rect rect;
    platform::ColorRef color;
    bool fits;  // whole in the rectangle, in the context's own font
  };
  const Case cases[] = {
      {"00 : 00 : 00", kOverlay, 0x000000, true},
      {"01 : 02 : 05", {25, 250, 100, 290}, 0x0000FF, true},      // 0x00BBGGRR; taller: at the top
      {"1165 : 05 : 04", {125, 200, 200, 214}, 0xFF8000, false},  // wider: cut on both sides
      {"00 : 00 : 00", {25, 150, 100, 162}, 0x000000, false},     // lower part cut
      {"00 : 00 : 00", {-40, 100, 35, 114}, 0x000000, false},     // off the left edge
      {"01 : 02 : 05", kOverlay, 0x00FF00, false},                // an earlier clip again
      {seconds.c_str(), {-1560, 100, 330, 114}, 0x0000FF, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " at " + std::to_string(c.rect.Top));
    const Change change = drawn(window, c.text, c.rect, c.color);
    EXPECT_GT(change.inColor, 10) << "in the colour set";
    EXPECT_EQ(change.outside, 0) << "clipped";
    if (const auto expected = desktop_->expected(c.text, c.rect, around(c.rect), c.color)) {
      EXPECT_EQ(after_, *expected);
    }
    if (!c.fits) continue;
    const platform::Rect& box = change.box;
    EXPECT_LE(std::abs((box.Left - c.rect.Left) - (c.rect.Right - box.Right)), 1) << "centred";
    EXPECT_LE(box.Top - c.rect.Top, 1) << "at the top";
    EXPECT_GE(box.Bottom - box.Top, 8) << "the digits whole";
    EXPECT_LE(box.Bottom - c.rect.Top, 20) << "one line";
  }
}

// At a game's scale the widest clock shows whole: 1280 x 720 makes the rectangle 112 x 21,
// and the font of the tallest digits may be wider than that.
TEST_P(SurfaceContract, AtScaleTheWidestClockShowsWhole) {
  platform::OverlayWay* way = desktop_->way();
  ASSERT_NE(way, nullptr);
  const platform::WindowHandle window = desktop_->open();
  const platform::Rect rect{40, 150, 152, 171};
  const platform::Rect area = around(rect);
  way->GetForegroundWindow();
  const platform::DeviceContext dc = way->GetDC(window);
  way->SetTextColor(dc, 0x000000);
  way->setTextHeight(dc, rect.Bottom - rect.Top);
  way->DrawTextA(dc, "99 : 59 : 59", 12, rect, platform::kDtCenter);
  way->ReleaseDC(window, dc);
  // Where the text's colour shows. The cells are clipped to the rectangle: a digit cut at its
  // edge leaves ink there.
  Pixels ink = desktop_->look(window, area);
  for (std::uint32_t& pixel : ink) pixel = pixel == 0x000000 ? 1 : 0;
  const Change inked = changeOf(Pixels(ink.size(), 0), ink, area, rect, 1);
  EXPECT_GT(inked.pixels, 10);
  EXPECT_EQ(inked.outside, 0);
  EXPECT_GT(inked.box.Left, rect.Left) << "the first digit whole";
  EXPECT_LT(inked.box.Right, rect.Right) << "the last digit whole";
  EXPECT_LE(std::abs((inked.box.Left - rect.Left) - (rect.Right - inked.box.Right)), 2)
      << "centred";
}

// Each look is at the clock drawn since the one before, as the screen shows it by then.
TEST_P(SurfaceContract, ALookSaysWhetherTheLastClockStillShows) {
  platform::DirectSurface* direct = desktop_->direct();
  if (!direct) GTEST_SKIP() << "a window of our own shows what it draws";
  const platform::WindowHandle window = desktop_->open();
  EXPECT_EQ(direct->lookAtLastClock(), platform::ClockSeen::Unknown) << "nothing drawn yet";
  const struct {
    const char* what;
    platform::Rect rect;
    int height;  // 0: the context's own font
    bool repaint;
    platform::ClockSeen seen;
  } cases[] = {
      {"shown", kOverlay, 0, false, platform::ClockSeen::Shown},
      // The same text again: a look that kept the text drawn afresh still reads the screen.
      {"painted over", kOverlay, 0, true, platform::ClockSeen::PaintedOver},
      {"shown at a game's scale", {40, 150, 152, 171}, 21, false, platform::ClockSeen::Shown},
      {"past the window's edge", {700, 315, 775, 329}, 0, false, platform::ClockSeen::Unknown},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    direct->GetForegroundWindow();
    const platform::DeviceContext dc = direct->GetDC(window);
    direct->SetTextColor(dc, 0x000000);
    direct->setTextHeight(dc, c.height);
    direct->DrawTextA(dc, "01 : 02 : 05", 12, c.rect, platform::kDtCenter);
    direct->ReleaseDC(window, dc);
    if (c.repaint) desktop_->repaint(window);
    desktop_->look(window, around(c.rect));  // once the screen has it
    EXPECT_EQ(direct->lookAtLastClock(), c.seen);
    EXPECT_EQ(direct->lookAtLastClock(), platform::ClockSeen::Unknown) << "nothing drawn since";
  }
  frame(window, "01 : 02 : 05", kOverlay);
  desktop_->close(window);
  desktop_->look(0, kOverlay);  // once the adapter can know
  EXPECT_EQ(direct->lookAtLastClock(), platform::ClockSeen::Unknown) << "the window is gone";
}

TEST_P(SurfaceContract, OnlyTheCountedBytesAreDrawn) {
  const platform::WindowHandle window = desktop_->open();
  const platform::Rect counted{25, 200, 100, 214};
  const platform::Rect plain{25, 250, 100, 264};
  frame(window, "01 : 02 : 05 and more", 12, counted);
  const Pixels first = desktop_->look(window, around(counted));
  frame(window, "01 : 02 : 05", plain);
  EXPECT_EQ(first, desktop_->look(window, around(plain)));
}

// Calls on context 0, with a brush, of no bytes, in rectangles beyond any coordinate a display
// holds or turned inside out.
TEST_P(SurfaceContract, CallsThatDrawNothingLeaveTheWindowAsItWas) {
  const platform::WindowHandle window = desktop_->open();
  const platform::BrushHandle brush = desktop_->brush();
  const platform::Rect all{0, 0, 340, 400};
  const Pixels before = desktop_->look(window, all);
  auto& s = surface();
  s.SetTextColor(0, 0x0000FF);
  s.FillRect(0, kOverlay, brush);
  s.DrawTextA(0, "00 : 00 : 00", 12, kOverlay, platform::kDtCenter);
  s.ReleaseDC(window, 0);
  s.ReleaseDC(0, 0);
  for (const platform::BrushHandle each : {platform::BrushHandle{0}, brush}) {
    frame(window, "00 : 00 : 00", 0, kOverlay, 0, each);
    s.DeleteObject(each);
  }
  EXPECT_TRUE(desktop_->brushKept(brush)) << "a brush the logic never made is not released";
  const platform::Rect rects[] = {{-32768, 315, -32693, 329},
                                  {65536 + 25, 315, 65536 + 100, 329},
                                  {25, 65536 + 315, 100, 65536 + 329},
                                  {25, -65536 + 315, 100, -65536 + 329},
                                  {100, 315, 25, 329}};
  for (const platform::Rect& rect : rects) frame(window, "00 : 00 : 00", rect);
  EXPECT_EQ(desktop_->look(window, all), before);
  frame(window, "00 : 00 : 03", 12, kOverlay, 0, brush);
  const Change text = changeOf(before, desktop_->look(window, all), all, kOverlay, 0);
  EXPECT_GT(text.inColor, 10) << "and the next frame draws";
  EXPECT_EQ(text.outside, 0) << "the text alone, whatever the brush";
}

// Wherever in a frame the window goes, that frame is lost at most: the next, onto the window
// in front then, shows.
TEST_P(SurfaceContract, AWindowThatVanishesCostsThatFrameAtMost) {
  enum Stage { kBeforeGetDC, kAfterGetDC, kAfterFill, kAfterText };
  const platform::WindowHandle next = desktop_->open();
  for (const Stage stage : {kBeforeGetDC, kAfterGetDC, kAfterFill, kAfterText}) {
    SCOPED_TRACE(stage);
    const platform::WindowHandle doomed = desktop_->open();
    if (stage == kBeforeGetDC) desktop_->close(doomed);
    const platform::DeviceContext dc = surface().GetDC(doomed);
    if (stage == kBeforeGetDC) {
      EXPECT_EQ(dc, 0u) << "none for a window that is gone";
    }
    if (stage == kAfterGetDC) desktop_->close(doomed);
    surface().SetTextColor(dc, 0);
    surface().FillRect(dc, kOverlay, 0);
    if (stage == kAfterFill) desktop_->close(doomed);
    surface().DrawTextA(dc, "00 : 00 : 01", 12, kOverlay, platform::kDtCenter);
    if (stage == kAfterText) desktop_->close(doomed);
    surface().ReleaseDC(doomed, dc);

    desktop_->focus(next);
    const platform::WindowHandle front = surface().GetForegroundWindow();
    EXPECT_EQ(front, next);
    const Change change = drawn(front, "00 : 00 : 02", kOverlay, stage % 2 ? 0x0000FF : 0x00FF00);
    EXPECT_GT(change.inColor, 10);
    EXPECT_EQ(change.outside, 0);
  }
}

}  // namespace tollivane::contract
