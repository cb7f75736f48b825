// The overlay in a window of our own, over a game that repaints: what the screen shows, read
// back from the root window, and what the window costs the server.
#include "backend_fixture.hpp"

#include <X11/Xproto.h>

#include "heap_probe.hpp"
#include "platform/x11/x11_overlay_window.hpp"
#include "x_resources.hpp"

namespace tollivane::x11test {
namespace {

constexpr Rect kRect{25, 315, 100, 329};
constexpr std::uint32_t kDesk = 0x806040;

class X11OwnWindow : public X11Backend {
 protected:
  platform::ForegroundSurface& surface = *chosen;
  // Under everything, so that the screen around the game is one colour.
  Window desk = client.createWindow({0, 0, 1024, 768}, kDesk);
  Window game = client.createWindow({100, 100, 340, 400}, kBackground);

  void SetUp() override {
    X11Backend::SetUp();
    ASSERT_NE(session->overlayWindow(), nullptr) << "Xvfb shapes windows";
    chosen->setOwnWindow(true);
    client.focus(game);
  }

  // One frame as the program makes it, over the window in front, after the event loop has
  // handled what arrived.
  void ownFrame(const std::string& text, const Rect& rect = kRect) {
    settle();
    session->processPendingEvents();
    frame(surface.GetForegroundWindow(), text, rect);
  }
  Window own() { return session->overlayWindow()->window(); }
  bool shown() {
    settle();
    XWindowAttributes attributes{};
    return XGetWindowAttributes(client.display(), own(), &attributes) &&
           attributes.map_state == IsViewable;
  }
  // The game repaints its whole client area.
  void repaint(Window target) {
    client.clear(target, {0, 0, 2000, 2000});
    settle();
  }
  // The clock text the screen shows at `rect` of a window whose client area starts at `origin`.
  std::string onScreen(int originX, int originY, const Rect& rect = kRect,
                       std::uint32_t under = kBackground) {
    settle();
    Area area = areaOf(rect);
    area.x += originX;
    area.y += originY;
    return client.overlayText(client.root(), area, under);
  }
};

// What it shows is the contract's; here, that a repaint of the game leaves it.
TEST_F(X11OwnWindow, KeepsTheTextThroughTheGamesRepaints) {
  for (const DrawCase& c : kDrawCases) {
    SCOPED_TRACE(c.text + " at " + std::to_string(c.rect.Top));
    Area area = around(c.rect);
    const Pixels expected = client.expected(c.text, areaOf(c.rect), area, kBackground, c.rgb);
    area.x += 100;
    area.y += 100;
    settle();
    frame(surface.GetForegroundWindow(), c.text, c.rect, c.color);
    repaint(game);
    EXPECT_EQ(client.pixels(client.root(), area), expected)
        << "the game shows around the character cells, and its repaint leaves the text";
  }
  EXPECT_EQ(session->trappedErrors(), 0u);
}

// Text that needs another font than the default: in a rectangle shorter than its characters,
// or scaled to a game bigger than 640 x 480. Both ways draw the same pixels at the same place.
TEST_F(X11OwnWindow, ATextOfAnotherHeightLooksTheSameBothWays) {
  struct Case {
    const char* name;
    Area game;
    bool scaled;
    Rect rect;             // as the program gives it
    Rect drawn;            // where it goes on the game
    int minRows, maxRows;  // of dark pixels; the default font's digits have 9
  };
  const Case cases[] = {
      {"a short rectangle",
       {100, 100, 340, 400},
       false,
       {25, 315, 100, 322},
       {25, 315, 100, 322},
       3,
       7},
      // 853 x 720: (25, 315) is (33.3, 472.5), 2.25 x 14 is 21 (half to even).
      {"scaled by 1.5", {0, 0, 853, 720}, true, kRect, {33, 472, 145, 493}, 12, 21},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    XMoveResizeWindow(client.display(), game, c.game.x, c.game.y,
                      static_cast<unsigned>(c.game.width), static_cast<unsigned>(c.game.height));
    chosen->setScaleToGame(c.scaled);
    Area area = around(c.drawn);
    area.x += c.game.x;
    area.y += c.game.y;
    Pixels ways[2];
    for (const bool own : {false, true}) {
      chosen->setOwnWindow(own);
      repaint(game);
      ownFrame(clockText(7), c.rect);
      settle();
      ways[own] = client.pixels(client.root(), area);
    }
    EXPECT_EQ(ways[0], ways[1]) << "drawn onto the game and in its own window";
    int top = area.height;
    int bottom = -1;
    for (int y = 0; y < area.height; ++y) {
      for (int x = 0; x < area.width; ++x) {
        if (ways[1][static_cast<std::size_t>(y * area.width + x)] == 0x000000) {
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
      }
    }
    EXPECT_GE(bottom - top + 1, c.minRows);
    EXPECT_LE(bottom - top + 1, c.maxRows);
  }
  chosen->setScaleToGame(false);
  EXPECT_EQ(session->trappedErrors(), 0u);
}

TEST_F(X11OwnWindow, NeverTakesTheFocusNorAClick) {
  XSelectInput(client.display(), game, ButtonPressMask | StructureNotifyMask);
  for (int i = 0; i < 1000; ++i) {
    const platform::WindowHandle front = surface.GetForegroundWindow();
    ASSERT_EQ(front, game) << "frame " << i;
    frame(front, clockText(i / 10), kRect);
  }
  settle();
  Window focus = 0;
  int revertTo = 0;
  XGetInputFocus(client.display(), &focus, &revertTo);
  EXPECT_EQ(focus, game);
  ASSERT_TRUE(shown());

  // The middle of the text's cells, where our window is.
  client.click(100 + 62, 100 + 321);
  XEvent event;
  EXPECT_TRUE(XCheckTypedWindowEvent(client.display(), game, ButtonPress, &event))
      << "the click went through to the game";
  XGetInputFocus(client.display(), &focus, &revertTo);
  EXPECT_EQ(focus, game);

  client.focus(own());  // by someone else: frames still never go over themselves
  settle();
  session->processPendingEvents();
  EXPECT_EQ(surface.GetForegroundWindow(), 0u);
}

// How a window manager that framed the game tells it where it now stands (ICCCM 4.1.5):
// a ConfigureNotify that it sends itself, in root coordinates.
void tellPosition(Display* d, Window window, int x, int y, int width, int height) {
  XEvent event{};
  event.xconfigure.type = ConfigureNotify;
  event.xconfigure.event = window;
  event.xconfigure.window = window;
  event.xconfigure.x = x;
  event.xconfigure.y = y;
  event.xconfigure.width = width;
  event.xconfigure.height = height;
  XSendEvent(d, window, False, StructureNotifyMask, &event);
  XSync(d, False);
}

TEST_F(X11OwnWindow, FollowsTheGameWithinOneFrameByItsEvents) {
  Display* d = client.display();
  const Window other = client.createWindow({600, 300, 300, 400}, kBackground);
  Window frameWindow = 0;
  struct Step {
    const char* change;
    std::function<void()> make;
    int x, y;      // the client area's top-left on the screen afterwards
    long replies;  // at most, in the frame after the change, with settle()'s one
  };
  // A round trip for the keys; the window in front asked (its property, the focus twice);
  // the game's place asked; the screen's format asked when the window is made (two).
  const Step steps[] = {
      {"first frame", [] {}, 100, 100, 1 + 3 + 1 + 2},
      {"moved", [&] { XMoveWindow(d, game, 300, 200); }, 300, 200, 1 + 1},
      {"resized", [&] { XResizeWindow(d, game, 300, 380); }, 300, 200, 1 + 1},
      {"framed",
       [&] {
         frameWindow = client.createWindow({50, 60, 320, 420}, kBackground);
         XReparentWindow(d, game, frameWindow, 5, 20);
         client.focus(game);  // reparenting unmapped it, and the focus went
       },
       55, 80, 1 + 2 + 1},
      {"frame moved",
       [&] {
         XMoveWindow(d, frameWindow, 200, 150);
         tellPosition(d, game, 205, 170, 300, 380);
       },
       205, 170, 1},
      {"another window in front", [&] { client.focus(other); }, 600, 300, 1 + 2 + 1},
      {"back to the framed one", [&] { client.focus(game); }, 205, 170, 1 + 2 + 1},
  };
  int second = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.change);
    const std::vector<XID> ours = sessionClient();
    XTraffic change(server.display(), ours);
    step.make();
    client.sync();
    ownFrame(clockText(++second));
    EXPECT_LE(change.finish().replies, step.replies);
    EXPECT_EQ(onScreen(step.x, step.y), clockText(second));

    XTraffic steady(server.display(), ours);
    for (int i = 0; i < 20; ++i) {
      frame(surface.GetForegroundWindow(), clockText(second + i / 10), kRect);
    }
    const Traffic seen = steady.finish();
    EXPECT_EQ(seen.replies, 0) << "no round trip while nothing moves";
    EXPECT_EQ(seen.requests[X_ConfigureWindow], 0) << "neither moved nor raised";
    EXPECT_LE(seen.requests[X_ImageText8], 2) << "drawn again only when the text changed";
    second += 1;
  }
}

TEST_F(X11OwnWindow, ComesBackAboveAWindowThatCoversIt) {
  ownFrame(clockText(1));
  ASSERT_EQ(onScreen(100, 100), clockText(1));
  const Window cover = client.createWindow({120, 400, 200, 50}, 0x00FF00);
  settle();
  ASSERT_EQ(onScreen(100, 100, kRect, 0x00FF00), "") << "covered";
  ownFrame(clockText(1));
  EXPECT_EQ(onScreen(100, 100, kRect, 0x00FF00), clockText(1)) << "raised by the next frame";
  client.destroyWindow(cover);
}

TEST_F(X11OwnWindow, HidesWhenFramesStopAndShowsWithTheNextFrame) {
  Display* d = client.display();
  struct Case {
    const char* change;
    std::function<void()> hideIt;
    std::function<void()> beforeShowing;
    std::uint32_t under;  // what the screen shows where the text was
  };
  const Case cases[] = {
      {"frames stop", [&] { chosen->runEnds(false); }, [] {}, kBackground},
      {"the direct way chosen",
       [&] {
         chosen->setOwnWindow(false);
         frame(surface.GetForegroundWindow(), clockText(0), kRect);
         repaint(game);
       },
       [&] { chosen->setOwnWindow(true); }, kBackground},
      {"the game unmapped", [&] { XUnmapWindow(d, game); },
       [&] {
         XMapWindow(d, game);
         client.focus(game);  // which it lost when unmapped
       },
       kDesk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.change);
    ownFrame(clockText(3));
    ASSERT_TRUE(shown());
    c.hideIt();
    client.sync();
    settle();
    session->processPendingEvents();
    EXPECT_FALSE(shown());
    EXPECT_EQ(onScreen(100, 100, kRect, c.under), "");
    c.beforeShowing();
    client.sync();
    ownFrame(clockText(4));
    EXPECT_TRUE(shown());
    EXPECT_EQ(onScreen(100, 100), clockText(4));
  }
}

// The game's focus events are the direct surface's, its structure events the window's: both
// must keep arriving while both listen to the same window.
TEST_F(X11OwnWindow, ListeningToTheGameKeepsTheFocusWatchedAndBackAgain) {
  const Window other = client.createWindow({600, 300, 300, 400}, kBackground);
  ownFrame(clockText(1));
  client.focus(other);
  ownFrame(clockText(2));
  EXPECT_EQ(onScreen(600, 300), clockText(2)) << "the game's FocusOut still came";

  client.focus(game);
  ownFrame(clockText(3));
  XMoveWindow(client.display(), game, 150, 120);
  client.sync();
  ownFrame(clockText(4));
  EXPECT_EQ(onScreen(150, 120), clockText(4)) << "the game's ConfigureNotify still came";

  // Back to the direct way: the window no longer listens, the focus watch goes on.
  chosen->setOwnWindow(false);
  ownFrame(clockText(5));
  client.focus(other);
  ownFrame(clockText(6));
  EXPECT_EQ(client.overlayText(other, areaOf(kRect), kBackground), clockText(6));
}

// A game closed and started again: the server hands the new window the id of the old one,
// which the frames found destroyed, whether they follow the focus or the window manager's word.
TEST_F(X11OwnWindow, FollowsAGameRestartedUnderTheSameWindowId) {
  struct Case {
    const char* way;
    bool ownWindow;
    bool published;  // named by the window manager, which keeps the focus on its frame
  };
  const Case cases[] = {
      {"own window, the focus", true, false},
      {"own window, the window manager's word", true, true},
      {"drawn onto it, the focus", false, false},
      {"drawn onto it, the window manager's word", false, true},
  };
  constexpr Area kPlace{150, 120, 340, 400};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.way);
    chosen->setOwnWindow(c.ownWindow);
    const auto bringToFront = [&](Window target) {
      if (c.published) {
        client.setActiveWindow(target);
        client.focus(desk);
      } else {
        client.focus(target);
      }
    };
    // Frames until the time shows over `target`; a generous number of them.
    const auto shownOver = [&](Window target, int second) {
      for (int i = 0; i < 100; ++i) {
        ownFrame(clockText(second));
        const std::string text = c.ownWindow
                                     ? onScreen(kPlace.x, kPlace.y)
                                     : client.overlayText(target, areaOf(kRect), kBackground);
        if (text == clockText(second)) return true;
      }
      return false;
    };

    auto restarted = std::make_unique<TestClient>(server.display());
    const Window first = restarted->createWindow(kPlace, kBackground);
    bringToFront(first);
    ASSERT_TRUE(shownOver(first, 1));
    restarted.reset();  // its connection closed: the server destroys the window
    for (int i = 0; i < 3; ++i) ownFrame(clockText(2));

    Window second = 0;
    for (int attempt = 0; attempt < 50 && second != first; ++attempt) {
      restarted.reset();
      restarted = std::make_unique<TestClient>(server.display());
      second = restarted->createWindow(kPlace, kBackground);
    }
    ASSERT_EQ(second, first) << "the server never handed the id out again";
    bringToFront(second);
    EXPECT_TRUE(shownOver(second, 3));
    restarted.reset();
    client.setActiveWindow(std::nullopt);
  }
}

TEST_F(X11OwnWindow, AnHourOfFramesLeavesNoResourceOrMemoryBehind) {
  for (int i = 0; i < 200; ++i) ownFrame(clockText(0));
  settle();
  const long resourcesBefore = serverResources(client.display());
  [[maybe_unused]] const long memoryBefore = residentKiB();
  std::array<std::string, 120> texts;
  for (int s = 0; s < 120; ++s) texts[s] = clockText(s);
  const testing::HeapUse heap = testing::heapUseDuring([&] {
    for (int i = 1; i <= 36000; ++i) {
      frame(surface.GetForegroundWindow(), texts[i / 10 % 120], kRect);
      // The game comes and goes from the front now and then.
      if (i % 3000 == 0) client.focus(i % 6000 == 0 ? game : window);
      if (i % 1000 == 0) settle();
    }
  });
  client.focus(game);
  ownFrame(clockText(3600 % 120));
  EXPECT_EQ(heap.allocations, 0);
  EXPECT_EQ(session->trappedErrors(), 0u);
#ifndef __SANITIZE_ADDRESS__  // its quarantine keeps freed memory resident; LeakSanitizer checks
  EXPECT_LT(residentKiB() - memoryBefore, 256);
#endif
  EXPECT_EQ(serverResources(client.display()), resourcesBefore);
  EXPECT_EQ(onScreen(100, 100), clockText(3600 % 120));
}

}  // namespace
}  // namespace tollivane::x11test
