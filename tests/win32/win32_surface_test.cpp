#include "platform/win32/win32_surface.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include "win32/stand_in_window.hpp"

namespace tollivane::platform::win32 {
namespace {

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
