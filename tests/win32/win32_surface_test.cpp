#include "platform/win32/win32_surface.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "screen_copy.hpp"

#include "win32/stand_in_window.hpp"

namespace tollivane::platform::win32 {
namespace {

constexpr Rect kOverlay{25, 315, 100, 329};
constexpr char kText[] = "01 : 02 : 05";

// A black window of our own, standing in for the game in front.
class Game {
 public:
  static constexpr int kWidth = 200;
  static constexpr int kHeight = 400;

  Game() {
    tests::StandInLook look;
    look.place = {0, 0, kWidth, kHeight};
    look.title = L"game";
    window_ = tests::openStandInGame(look);
  }
  ~Game() { destroy(); }
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  WindowHandle handle() const { return reinterpret_cast<WindowHandle>(window_); }
  void destroy() {
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
  }

  // Pixels that are not the black background, inside and outside the overlay rectangle.
  std::pair<int, int> litPixels() const {
    win32_tests::ScreenCopy copy(kWidth, kHeight);
    copy.from(window_, 0, 0);
    int inside = 0, outside = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        if (copy.at(x, y) == 0) continue;
        const bool in =
            x >= kOverlay.Left && x < kOverlay.Right && y >= kOverlay.Top && y < kOverlay.Bottom;
        ++(in ? inside : outside);
      }
    }
    return {inside, outside};
  }

 private:
  HWND window_ = nullptr;
};

void drawFrame(Win32Surface& surface, WindowHandle window, BrushHandle brush) {
  const DeviceContext dc = surface.GetDC(window);
  surface.SetTextColor(dc, RGB(255, 0, 0));
  surface.FillRect(dc, kOverlay, brush);
  surface.DrawTextA(dc, kText, static_cast<int>(std::strlen(kText)), kOverlay, kDtCenter);
  surface.ReleaseDC(window, dc);
}

TEST(Win32Surface, DrawsTheTextInsideTheRectangleAndNowhereElse) {
  Game game;
  Win32Surface surface;
  EXPECT_EQ(surface.GetForegroundWindow(), game.handle());
  ASSERT_EQ(game.litPixels(), std::make_pair(0, 0));
  drawFrame(surface, game.handle(), 0);
  const auto [inside, outside] = game.litPixels();
  EXPECT_GT(inside, 20);
  EXPECT_LT(inside, 75 * 14) << "text on the opaque background, not a filled box";
  EXPECT_EQ(outside, 0);
}

TEST(Win32Surface, NoBrushFillsAndNoneIsReleased) {
  Game game;
  Win32Surface surface;
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  for (const BrushHandle brush : {BrushHandle{0}, reinterpret_cast<BrushHandle>(green)}) {
    const DeviceContext dc = surface.GetDC(game.handle());
    surface.FillRect(dc, kOverlay, brush);
    surface.ReleaseDC(game.handle(), dc);
    EXPECT_EQ(game.litPixels(), std::make_pair(0, 0)) << brush;
    surface.DeleteObject(brush);
  }
  EXPECT_NE(GetObjectType(green), 0u) << "a brush the logic never made is not released";
  DeleteObject(green);
}

TEST(Win32Surface, AWindowDestroyedMidFrameCostsOnlyThatFrame) {
  Win32Surface surface;
  for (int frame = 0; frame < 3; ++frame) {
    Game doomed;
    const DeviceContext dc = surface.GetDC(doomed.handle());
    ASSERT_NE(dc, 0u) << frame;
    doomed.destroy();
    surface.SetTextColor(dc, RGB(255, 0, 0));
    surface.DrawTextA(dc, kText, static_cast<int>(std::strlen(kText)), kOverlay, kDtCenter);
    surface.ReleaseDC(doomed.handle(), dc);
  }
  Game game;
  drawFrame(surface, game.handle(), 0);
  EXPECT_GT(game.litPixels().first, 20);
}

// The screen catches up with a window of this thread as it waits for messages.
void settle() {
  for (int tries = 0; tries < 4; ++tries) {
    Sleep(30);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
}

// Each look is at the text drawn since the one before, as the screen shows it now.
TEST(Win32Surface, LooksAtTheScreenWhereTheLatestTextWasDrawn) {
  Game game;
  Win32Surface surface;
  EXPECT_EQ(surface.lookAtLastClock(), ClockSeen::Unknown) << "nothing drawn yet";
  struct Case {
    Rect rect;
    int pixels;
    bool repaint;
    ClockSeen seen;
  };
  for (const Case& c : {Case{kOverlay, 0, false, ClockSeen::Shown},
                        Case{{20, 40, 190, 72}, 32, false, ClockSeen::Shown},
                        Case{kOverlay, 0, true, ClockSeen::PaintedOver},
                        Case{{300, 315, 375, 329}, 0, false, ClockSeen::Unknown}}) {
    const DeviceContext dc = surface.GetDC(game.handle());
    surface.setTextHeight(dc, c.pixels);
    surface.DrawTextA(dc, kText, -1, c.rect, kDtCenter);
    surface.ReleaseDC(game.handle(), dc);
    if (c.repaint) InvalidateRect(reinterpret_cast<HWND>(game.handle()), nullptr, TRUE);
    settle();
    EXPECT_EQ(surface.lookAtLastClock(), c.seen) << c.rect.Left << " " << c.pixels;
    EXPECT_EQ(surface.lookAtLastClock(), ClockSeen::Unknown) << "nothing drawn since";
  }
  drawFrame(surface, game.handle(), 0);
  game.destroy();
  EXPECT_EQ(surface.lookAtLastClock(), ClockSeen::Unknown) << "the window is gone";
}

// Another rasterizer (Wine's X11 driver onto another program's window, ClearType, a gamma of
// its own) blends the glyphs' edges its own way: still the clock; moved a little, it is not.
TEST(Win32Surface, LooksPastHowTheGlyphsEdgesWereBlended) {
  Game game;
  ScreenLook look;
  const auto tahoma = [](DWORD quality) {
    return CreateFontW(24, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, quality, VARIABLE_PITCH | FF_SWISS, L"Tahoma");
  };
  const HFONT smooth = tahoma(ANTIALIASED_QUALITY), sharp = tahoma(NONANTIALIASED_QUALITY);
  DrawnText drawn{reinterpret_cast<HWND>(game.handle()), {}, 12, {20, 40, 190, 72}, kDtCenter};
  std::memcpy(drawn.text.data(), kText, 12);
  drawn.font = smooth;
  for (const int shift : {0, 6}) {
    InvalidateRect(drawn.window, nullptr, TRUE);
    settle();
    const HDC dc = GetDC(drawn.window);
    const HGDIOBJ old = SelectObject(dc, sharp);
    RECT r{drawn.rect.Left + shift, drawn.rect.Top, drawn.rect.Right + shift, drawn.rect.Bottom};
    DrawTextA(dc, kText, 12, &r, kDtCenter);
    SelectObject(dc, old);
    ReleaseDC(drawn.window, dc);
    settle();
    EXPECT_EQ(look.compare(drawn), shift ? ClockSeen::PaintedOver : ClockSeen::Shown) << shift;
  }
  DeleteObject(smooth);
  DeleteObject(sharp);
}

// A frame whose context could not be had draws nothing anywhere, the screen included.
TEST(Win32Surface, ContextZeroDrawsNothing) {
  Game game;
  Win32Surface surface;
  ASSERT_EQ(game.litPixels(), std::make_pair(0, 0));
  surface.SetTextColor(0, RGB(255, 0, 0));
  surface.FillRect(0, kOverlay, reinterpret_cast<BrushHandle>(GetStockObject(WHITE_BRUSH)));
  surface.DrawTextA(0, kText, static_cast<int>(std::strlen(kText)), kOverlay, kDtCenter);
  surface.ReleaseDC(0, 0);
  EXPECT_EQ(game.litPixels(), std::make_pair(0, 0));
}

}  // namespace
}  // namespace tollivane::platform::win32
