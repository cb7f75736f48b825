#include "platform/win32/win32_overlay_window.hpp"
#include "platform/win32/dpi_scale.hpp"
#include "platform/win32/win32_surface.hpp"
#include "stopwatch/overlay_renderer.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/window_class.hpp"
#include "screen_copy.hpp"

#include "win32/stand_in_window.hpp"

namespace tollivane::platform::win32 {
namespace {

constexpr Rect kOverlay{25, 315, 100, 329};
const std::string kText = "01 : 02 : 05";  // short enough never to allocate
constexpr COLORREF kGameColor = RGB(30, 60, 140);

void pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// The game in front: a window of one colour that counts what reaches it.
class Game {
 public:
  // `inFront`: activated, as a game is. Wine on a screen without a window manager then takes
  // 2 s to take the window away again, so tests keep such windows few.
  explicit Game(DWORD style = WS_POPUP, int x = 0, int y = 0, bool inFront = true) {
    static HBRUSH background = CreateSolidBrush(kGameColor);
    window_ = tests::openStandInGame(
        {{x, y, 400, 400}, L"game", procedure, background, style, inFront, this});
    pump();
  }
  ~Game() { destroy(); }
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  HWND window() const { return window_; }
  WindowHandle handle() const { return reinterpret_cast<WindowHandle>(window_); }
  void destroy() {
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
  }
  // As a game does every frame: its whole client area painted over.
  void repaint() const {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  POINT clientOrigin() const {
    POINT origin{0, 0};
    ClientToScreen(window_, &origin);
    return origin;
  }

  int clicks = 0;
  int focusLost = 0;

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = windowOwner<Game>(window, message, l);
    if (self && message == WM_LBUTTONDOWN) ++self->clicks;
    if (self && message == WM_KILLFOCUS) ++self->focusLost;
    if (self && message == WM_ACTIVATE && LOWORD(w) == WA_INACTIVE) ++self->focusLost;
    return DefWindowProcW(window, message, w, l);
  }

  HWND window_ = nullptr;
};

// The core's six calls of one frame.
void frame(ForegroundSurface& surface) {
  DeviceContext dc = 0;
  tollivane::stopwatch::drawOverlayFrame(surface, kText, kOverlay, {0, 0}, dc);
  pump();
}

HWND ours(const Win32OverlayWindow& overlay) { return reinterpret_cast<HWND>(overlay.handle()); }

Rect expectedBounds(POINT origin) {
  return Rect{origin.x + kOverlay.Left, origin.y + kOverlay.Top, origin.x + kOverlay.Right,
              origin.y + kOverlay.Bottom};
}

Rect windowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return Rect{r.left, r.top, r.right, r.bottom};
}

// What the screen shows in `area`, by pixel: the cells' white, the text's black and the greys
// of its smoothed edges, the game's colour, and anything else (the key colour, say).
struct Seen {
  int white = 0, text = 0, game = 0, other = 0;
};
// The screen's pixels in `area`, as 0x00RRGGBB, row by row.
std::vector<std::uint32_t> screenPixels(const Rect& area) {
  return win32_tests::ScreenCopy(area.Right - area.Left, area.Bottom - area.Top)
      .from(nullptr, area.Left, area.Top)
      .pixels();
}

Seen onScreen(const Rect& area) {
  Seen seen;
  for (const std::uint32_t rgb : screenPixels(area)) {
    const std::uint32_t red = rgb >> 16, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
    if (rgb == 0xFFFFFF) {
      ++seen.white;
    } else if (red == green && green == blue) {
      ++seen.text;
    } else if (rgb == 0x1E3C8C) {
      ++seen.game;
    } else {
      ++seen.other;
    }
  }
  return seen;
}

// The screen catches up with a window's drawing on its own schedule under some systems.
void settle() {
  for (int tries = 0; tries < 20; ++tries) {
    pump();
    Sleep(25);
  }
}
Seen settled(const Rect& area) {
  settle();
  return onScreen(area);
}

TEST(Win32OverlayWindow, ShowsBlackTextOnWhiteCellsOverTheGameAndStaysThroughItsRepaints) {
  Game game;
  Win32OverlayWindow overlay;
  ASSERT_NE(overlay.handle(), 0u);
  frame(overlay);
  const Rect area = expectedBounds(game.clientOrigin());
  for (int repaint = 0; repaint < 3; ++repaint) {
    const Seen seen = settled(area);
    EXPECT_GT(seen.white, 100) << "the text's opaque cells, repaint " << repaint;
    EXPECT_GT(seen.text, 40) << "the text";
    EXPECT_GT(seen.game, 0) << "the game shows through beside the cells";
    EXPECT_EQ(seen.other, 0) << "nothing of the key colour shows";
    game.repaint();
  }
}

// Pixel for pixel what the same frame drawn straight onto the game shows: font, colours, place.
TEST(Win32OverlayWindow, LooksExactlyLikeTheClockDrawnOntoTheGame) {
  Game game;
  const Rect area = expectedBounds(game.clientOrigin());
  Win32Surface direct;
  frame(direct);
  settle();
  const std::vector<std::uint32_t> drawnOnto = screenPixels(area);
  ASSERT_GT(onScreen(area).white, 100);
  game.repaint();
  settle();
  ASSERT_EQ(onScreen(area).white, 0);

  Win32OverlayWindow overlay;
  frame(overlay);  // shows the window, which then paints itself from what it was given
  frame(overlay);  // drawn by the frame alone
  settle();
  EXPECT_EQ(screenPixels(area), drawnOnto) << "as a frame draws it";
  RedrawWindow(ours(overlay), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  settle();
  EXPECT_EQ(screenPixels(area), drawnOnto) << "as the window repaints itself";
}

// At any dpi, and in a taller font when asked: the digits whole in the rectangle, with its
// bottom row free, and the same pixels either way.
TEST(Win32OverlayWindow, DigitsStayWholeAndLookTheSameEitherWay) {
  Game game;
  Win32Surface direct;
  Win32OverlayWindow overlay;
  const POINT origin = game.clientOrigin();
  for (const int pixels : {0, 32}) {
    const int height = pixels ? pixels : 14;
    const Rect rect{25, 315, pixels ? 194 : 100, 315 + height};
    const Rect area{origin.x + rect.Left, origin.y + rect.Top, origin.x + rect.Right,
                    origin.y + rect.Bottom};
    const Rect lowerHalf{area.Left, area.Top + height / 2, area.Right, area.Bottom - 1};
    std::vector<std::uint32_t> drawnOnto;
    for (OverlayWay* way : std::initializer_list<OverlayWay*>{&direct, &overlay, &overlay}) {
      const WindowHandle window = way->GetForegroundWindow();
      const DeviceContext dc = way->GetDC(window);
      way->SetTextColor(dc, 0);
      way->setTextHeight(dc, pixels);
      way->DrawTextA(dc, kText.c_str(), -1, rect, kDtCenter);
      way->ReleaseDC(window, dc);
      if (way == &direct) {
        settle();
        drawnOnto = screenPixels(area);
        EXPECT_GT(onScreen(lowerHalf).text, 0) << pixels << ": as tall as the rectangle allows";
        EXPECT_EQ(onScreen(Rect{area.Left, area.Bottom - 1, area.Right, area.Bottom}).text, 0)
            << pixels << ": cut at the bottom row";
        game.repaint();
      }
    }
    settle();
    EXPECT_EQ(screenPixels(area), drawnOnto) << pixels;
    overlay.hide();
  }
}

// A game that is not dpi-aware counts in 96-dpi units; the window of our own in the monitor's.
TEST(Win32OverlayWindow, ConvertsTheGamesUnitsIntoItsOwnPixels) {
  EXPECT_EQ(scaledForDpi(kOverlay, 96, 96), kOverlay);
  EXPECT_EQ(scaledForDpi(kOverlay, 96, 144), (Rect{38, 473, 150, 494}));
  EXPECT_EQ(scaledForDpi(kOverlay, 144, 96), (Rect{17, 210, 67, 219}));
  EXPECT_EQ(scaledForDpi(Rect{-3, -25, 72, -11}, 96, 144), (Rect{-5, -38, 108, -17}));
  EXPECT_EQ(scaledForDpi(kOverlay, 0, 144), kOverlay) << "unknown: left alone";
  EXPECT_EQ(scaledForDpi(14, 96, 120), 18);
}

TEST(Win32OverlayWindow, TheGameKeepsTheFocusThroughAThousandFrames) {
  Game game;
  Win32OverlayWindow overlay;
  for (int n = 0; n < 1000; ++n) {
    frame(overlay);
    ASSERT_EQ(::GetForegroundWindow(), game.window()) << "frame " << n;
  }
  EXPECT_EQ(GetFocus(), game.window());
  EXPECT_EQ(game.focusLost, 0);
  EXPECT_TRUE(IsWindowVisible(ours(overlay)));
}

TEST(Win32OverlayWindow, NeverNamesItselfAsTheWindowInFront) {
  Game game;
  Win32OverlayWindow overlay;
  frame(overlay);
  // Activated by force, which no click or key can do: frames still follow the game.
  SetForegroundWindow(ours(overlay));
  pump();
  if (::GetForegroundWindow() != ours(overlay)) GTEST_SKIP() << "the system refused to activate it";
  EXPECT_EQ(overlay.GetForegroundWindow(), game.handle());
  frame(overlay);
  EXPECT_EQ(windowRect(ours(overlay)), expectedBounds(game.clientOrigin()));
}

TEST(Win32OverlayWindow, AClickOnTheRectangleReachesTheGame) {
  Game game;
  Win32OverlayWindow overlay;
  frame(overlay);
  const Rect bounds = windowRect(ours(overlay));
  ASSERT_EQ(bounds, expectedBounds(game.clientOrigin()));
  const POINT centre{(bounds.Left + bounds.Right) / 2, (bounds.Top + bounds.Bottom) / 2};
  EXPECT_EQ(WindowFromPoint(centre), game.window());

  SetCursorPos(centre.x, centre.y);
  INPUT click[2]{};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(SendInput(2, click, sizeof(INPUT)), 2u);
  for (int tries = 0; tries < 100 && game.clicks == 0; ++tries) {
    pump();
    Sleep(10);
  }
  EXPECT_EQ(game.clicks, 1);
  EXPECT_EQ(::GetForegroundWindow(), game.window());
}

// The window's top-left is the target's client origin plus the rectangle's, from the first
// frame after any move: a caption moves the client area away from the window's corner.
TEST(Win32OverlayWindow, FollowsTheGameWithinOneFrame) {
  Game popup(WS_POPUP, 0, 0);
  Game captioned(WS_OVERLAPPEDWINDOW, 120, 80);
  struct Case {
    const Game& game;
    POINT to;
  };
  const Case cases[] = {
      {popup, {300, 200}},
      {popup, {-40, 10}},
      {captioned, {500, 60}},
  };
  Win32OverlayWindow overlay;
  for (const Case& c : cases) {
    SetForegroundWindow(c.game.window());
    frame(overlay);
    EXPECT_EQ(windowRect(ours(overlay)), expectedBounds(c.game.clientOrigin())) << c.to.x;
    SetWindowPos(c.game.window(), nullptr, c.to.x, c.to.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    frame(overlay);
    EXPECT_EQ(windowRect(ours(overlay)), expectedBounds(c.game.clientOrigin())) << c.to.x;
    EXPECT_TRUE(IsWindowVisible(ours(overlay)));
  }
}

bool above(HWND window, HWND other) {
  for (HWND higher = GetWindow(other, GW_HWNDPREV); higher;
       higher = GetWindow(higher, GW_HWNDPREV)) {
    if (higher == window) return true;
  }
  return false;
}

// Full-screen games are often topmost themselves and may come to the top of that band again.
TEST(Win32OverlayWindow, StaysAboveATopmostGameThatRaisesItself) {
  Game game;
  SetWindowPos(game.window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Win32OverlayWindow overlay;
  frame(overlay);
  EXPECT_TRUE(above(ours(overlay), game.window()));
  for (int round = 0; round < 3; ++round) {
    SetWindowPos(game.window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_FALSE(above(ours(overlay), game.window()));
    frame(overlay);
    EXPECT_TRUE(above(ours(overlay), game.window())) << round;
  }
  EXPECT_EQ(::GetForegroundWindow(), game.window());
}

TEST(Win32OverlayWindow, HideHidesAndTheNextFrameShows) {
  Game game;
  Win32OverlayWindow overlay;
  EXPECT_FALSE(IsWindowVisible(ours(overlay))) << "nothing shows before the first frame";
  for (int round = 0; round < 3; ++round) {
    frame(overlay);
    EXPECT_TRUE(IsWindowVisible(ours(overlay))) << round;
    overlay.hide();
    overlay.hide();
    EXPECT_FALSE(IsWindowVisible(ours(overlay))) << round;
  }
  const Seen seen = settled(expectedBounds(game.clientOrigin()));
  EXPECT_EQ(seen.white + seen.text, 0) << "a hidden window leaves the game as it was";
}

// The GDI objects alive in this process, found by their slots in its handle table (a
// handle's low 16 bits; Wine also takes a handle without its high word). Wine reports 0 for
// every GetGuiResources count, so this is the count that means something there.
int liveGdiObjects() {
  int count = 0;
  for (std::uintptr_t slot = 1; slot < 0x10000; ++slot) {
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++count;
  }
  return count;
}

int windowsOfThisThread() {
  int count = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND, LPARAM counter) CALLBACK -> BOOL {
        ++*reinterpret_cast<int*>(counter);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

// An hour of frames at 10 a second, as fast as they go: any object made per frame and not
// given back shows in the process's counts.
TEST(Win32OverlayWindow, LeavesNoHandleBehindOverAnHourOfFrames) {
  Game game;
  Win32OverlayWindow overlay;
  frame(overlay);
  overlay.hide();
  frame(overlay);
  const HANDLE process = GetCurrentProcess();
  const DWORD gdiBefore = GetGuiResources(process, GR_GDIOBJECTS);
  const DWORD userBefore = GetGuiResources(process, GR_USEROBJECTS);
  const int gdiObjectsBefore = liveGdiObjects();
  const int windowsBefore = windowsOfThisThread();
  for (int n = 0; n < 36000; ++n) {
    frame(overlay);
    if (n % 600 == 599) overlay.hide();  // a stop now and then
  }
  EXPECT_EQ(GetGuiResources(process, GR_GDIOBJECTS), gdiBefore);
  EXPECT_EQ(GetGuiResources(process, GR_USEROBJECTS), userBefore);
  EXPECT_EQ(liveGdiObjects(), gdiObjectsBefore);
  EXPECT_EQ(windowsOfThisThread(), windowsBefore);
  EXPECT_EQ(windowRect(ours(overlay)), expectedBounds(game.clientOrigin()));
}

}  // namespace
}  // namespace tollivane::platform::win32
