#include "platform/win32/win32_surface.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

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

 private:
  HWND window_ = nullptr;
};

void drawFrame(Win32Surface& surface, WindowHandle window) {
  const DeviceContext dc = surface.GetDC(window);
  surface.SetTextColor(dc, RGB(255, 0, 0));
  surface.FillRect(dc, kOverlay, 0);
  surface.DrawTextA(dc, kText, static_cast<int>(std::strlen(kText)), kOverlay, kDtCenter);
  surface.ReleaseDC(window, dc);
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
    tests::settleScreen();
    EXPECT_EQ(surface.lookAtLastClock(), c.seen) << c.rect.Left << " " << c.pixels;
    EXPECT_EQ(surface.lookAtLastClock(), ClockSeen::Unknown) << "nothing drawn since";
  }
  drawFrame(surface, game.handle());
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
  const DrawnText drawn{game.handle(), {20, 40, 190, 72}, kText, kDtCenter, 0};
  const auto window = reinterpret_cast<HWND>(game.handle());
  for (const int shift : {0, 6}) {
    InvalidateRect(window, nullptr, TRUE);
    tests::settleScreen();
    const HDC dc = GetDC(window);
    const HGDIOBJ old = SelectObject(dc, sharp);
    RECT r{drawn.rect.Left + shift, drawn.rect.Top, drawn.rect.Right + shift, drawn.rect.Bottom};
    DrawTextA(dc, kText, 12, &r, kDtCenter);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    tests::settleScreen();
    EXPECT_EQ(look.compare(drawn, smooth), shift ? ClockSeen::PaintedOver : ClockSeen::Shown)
        << shift;
  }
  DeleteObject(smooth);
  DeleteObject(sharp);
}

}  // namespace
}  // namespace tollivane::platform::win32
