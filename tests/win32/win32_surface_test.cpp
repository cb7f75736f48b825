#include "platform/win32/win32_surface.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "win32/stand_in_window.hpp"

namespace tollivane::platform::win32 {
namespace {

// The screen catches up with a window of this thread as it waits for messages.
void settle() {
  for (int tries = 0; tries < 4; ++tries) {
    Sleep(30);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
}

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
    settle();
    EXPECT_EQ(surface.lookAtLastClock(), c.seen) << c.rect.Left << " " << c.pixels;
    EXPECT_EQ(surface.lookAtLastClock(), ClockSeen::Unknown) << "nothing drawn since";
  }
  drawFrame(surface, game.handle());
  game.destroy();
  EXPECT_EQ(surface.lookAtLastClock(), ClockSeen::Unknown) << "the window is gone";
}

}  // namespace
}  // namespace tollivane::platform::win32
