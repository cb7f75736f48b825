// The window in front and the drawing on it, read back from the server's pixels.
#include "backend_fixture.hpp"

#include <X11/keysym.h>

#include "contract/surface_contract.hpp"
#include "platform/x11/font_choice.hpp"
#include "platform/x11/screen_readback.hpp"
#include "platform/x11/x11_overlay_window.hpp"
#include "platform/x11/x11_surface.hpp"
#include "x_resources.hpp"

namespace tollivane::x11test {
namespace {

// A server of its own; the screen read back from the root, where both ways show.
class X11Desktop final : public contract::Desktop {
 public:
  explicit X11Desktop(bool ownWindow) : ownWindow_(ownWindow) {}
  // An X error costs a frame: none but those of windows that vanished.
  ~X11Desktop() override {
    if (session_ && !closed_) {
      EXPECT_EQ(session_->trappedErrors(), 0u);
    }
  }
  bool ok() const { return session_ && (!ownWindow_ || session_->overlayWindow()); }
  platform::ForegroundSurface& surface() override {
    if (ownWindow_) return *session_->overlayWindow();
    return session_->direct();
  }
  platform::OverlayWay* way() override {
    if (ownWindow_) return session_->overlayWindow();
    return &session_->directSurface();
  }
  platform::WindowHandle open() override {
    const int n = ++opened_;
    const Window window = client_.createWindow({20 * n, 10 * n, 340, 400}, kBackground);
    focus(window);
    return window;
  }
  void focus(platform::WindowHandle window) override {
    client_.focus(window ? static_cast<Window>(window) : None);
    session_->sync();
  }
  void repaint(platform::WindowHandle window) override {
    session_->sync();  // the text first, as the game's frame comes after it
    XClearArea(client_.display(), static_cast<Window>(window), 0, 0, 0, 0, False);
    client_.sync();
  }
  void close(platform::WindowHandle window) override {
    client_.destroyWindow(static_cast<Window>(window));
    closed_ = true;
  }
  contract::Pixels look(platform::WindowHandle window, const Rect& area) override {
    session_->sync();
    session_->processPendingEvents();
    client_.sync();
    int x = area.Left;
    int y = area.Top;
    Window child = 0;
    if (window) {
      XTranslateCoordinates(client_.display(), static_cast<Window>(window), client_.root(),
                            area.Left, area.Top, &x, &y, &child);
    }
    return client_.pixels(client_.root(), {x, y, area.Right - area.Left, area.Bottom - area.Top});
  }
  std::optional<contract::Pixels> expected(const std::string& text, const Rect& rect,
                                           const Rect& area, platform::ColorRef color) override {
    return client_.expected(text, areaOf(rect), areaOf(area), kBackground, contract::rgbOf(color));
  }

 private:
  bool ownWindow_;
  int opened_ = 0;
  bool closed_ = false;
  Xvfb server_;
  TestClient client_{server_.display()};
  std::unique_ptr<X11Session> session_ = X11Session::open(server_.display().c_str());
};

contract::SurfaceKit x11Kit(bool ownWindow) {
  return {ownWindow ? "X11OwnWindow" : "X11", [ownWindow]() -> std::unique_ptr<contract::Desktop> {
            auto desktop = std::make_unique<X11Desktop>(ownWindow);
            if (!desktop->ok()) return nullptr;
            return desktop;
          }};
}

using contract::SurfaceContract;
INSTANTIATE_TEST_SUITE_P(X11, SurfaceContract, ::testing::Values(x11Kit(false), x11Kit(true)),
                         contract::surfaceKitName);

TEST_F(X11Backend, ForegroundIsTheActiveWindowElseTheInputFocus) {
  const Window other = client.createWindow({200, 0, 100, 100}, kBackground);
  auto foreground = [&] {
    settle();
    return chosen->GetForegroundWindow();
  };
  client.focus(None);
  EXPECT_EQ(foreground(), 0u);
  client.focus(PointerRoot);
  EXPECT_EQ(foreground(), 0u);

  client.focus(window);
  client.setActiveWindow(other);
  EXPECT_EQ(foreground(), other) << "the window manager's word wins over the focus";
  client.setActiveWindow(window);
  EXPECT_EQ(foreground(), window) << "and is followed when it changes";
  client.focus(other);
  client.setActiveWindow(0);
  EXPECT_EQ(foreground(), other) << "an active window of 0 falls back to the focus";
  client.setActiveWindow(std::nullopt);
  client.focus(window);
  EXPECT_EQ(foreground(), window);
}

// A look draws the text afresh in the colour the frame drew it in, however often that changes.
TEST_F(X11Backend, ALookFindsTheTextShownInEachColourItWasDrawnIn) {
  platform::x11::ScreenReadback readback(client.display());
  platform::x11::FontChoice fonts(client.display());  // owns the font the look draws in
  const platform::x11::TextFont font = fonts.defaultFont();
  const std::string text = "01 : 02 : 05";
  const Rect rect{25, 250, 100, 264};
  const int width = XTextWidth(font.metrics, text.data(), static_cast<int>(text.size()));
  for (const platform::ColorRef color : {0x000000u, 0x0000FFu, 0xFF8000u, 0x000000u}) {
    frame(window, text, rect, color);
    settle();
    const platform::DrawnText drawn{window, rect, text, platform::kDtCenter, color};
    const platform::x11::TextPlace place{
        width, 25 + (75 - width) / 2, 250 + font.metrics->ascent, {25, 250, 75, 14}};
    EXPECT_EQ(readback.compare(drawn, font, place, {0, 0, 340, 400}), platform::ClockSeen::Shown)
        << color;
  }
}

// Frames run while the window in front changes, is destroyed, is named by the window manager
// or not: each frame draws on the window in front then, and asks the server nothing unless
// an event said the window in front changed.
TEST_F(X11Backend, TheWindowInFrontIsFollowedByEventsWithoutARoundTripPerFrame) {
  const Window other = client.createWindow({200, 0, 100, 100}, kBackground);
  const Window third = client.createWindow({300, 0, 100, 100}, kBackground);
  const Window gone = client.createWindow({400, 0, 100, 100}, kBackground);
  struct Step {
    const char* change;
    std::function<void()> make;
    Window front;  // what every frame after the change draws on; 0: the screen
  };
  const Step steps[] = {
      {"focus", [&] { client.focus(window); }, window},
      {"focus moves", [&] { client.focus(other); }, other},
      {"focus to none", [&] { client.focus(None); }, 0},
      {"focus back", [&] { client.focus(third); }, third},
      {"focused window destroyed", [&] { client.destroyWindow(third); }, 0},  // to PointerRoot
      {"window manager names one", [&] { client.setActiveWindow(other); }, other},
      {"and another", [&] { client.setActiveWindow(window); }, window},
      {"focus moves under it", [&] { client.focus(other); }, window},
      {"names one that then goes",
       [&] {
         client.setActiveWindow(gone);
         client.destroyWindow(gone);
       },
       other},  // one frame lost on the gone window, then the focus
      {"names none", [&] { client.setActiveWindow(0); }, other},
      {"property removed", [&] { client.setActiveWindow(std::nullopt); }, other},
  };
  const std::vector<XID> ours = sessionClient();
  ASSERT_EQ(ours.size(), 1u);
  auto& surface = *chosen;
  // The looks at the screen set up their pixmap once, at the first.
  for (int i = 0; i < 5; ++i)
    frame(surface.GetForegroundWindow(), "00 : 00 : 00", {25, 315, 100, 329});
  auto frontFrames = [&](int count, Window expected) {
    for (int i = 0; i < count; ++i) {
      const platform::WindowHandle front = surface.GetForegroundWindow();
      EXPECT_EQ(front, expected) << "frame " << i;
      frame(front, "00 : 00 : 01", {25, 315, 100, 329});
    }
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.change);
    XTraffic change(server.display(), ours);
    step.make();
    // Which the event loop does when the session's connection has events to read.
    session->processPendingEvents();
    if (std::string(step.change).starts_with("names one that")) {
      frame(surface.GetForegroundWindow(), "00 : 00 : 01", {25, 315, 100, 329});
    }
    frontFrames(1, step.front);
    // The window manager's property, the focus asked twice, the visual of the window found
    // gone and of the new one.
    EXPECT_LE(change.finish().replies, 5);

    XTraffic steady(server.display(), ours);
    frontFrames(20, step.front);
    const Traffic seen = steady.finish();
    // Every fifth frame looks at the screen once (GetImage), the first look at a window asks
    // where it is (twice); nothing else waits for the server.
    const long looks = seen.requests[73];
    EXPECT_LE(looks, 4);
    EXPECT_LE(seen.replies - looks, 2);
    EXPECT_GE(seen.replies, looks);
    // CreateGC, ChangeGC, SetClipRectangles, FreeGC: a frame sets nothing up.
    for (int setUp : {55, 56, 59, 60}) EXPECT_EQ(seen.requests[setUp], 0) << setUp;
  }
}

// A GC serves drawables of its own depth only: a game with alpha (32 bits) and one of the
// screen's depth, in front in turn, each show the text, and no request fails.
TEST_F(X11Backend, WindowsOfTwoDepthsInTurnEachShowTheText) {
  const Window deep = client.createWindow({400, 0, 340, 400}, kBackground, 32);
  XWindowAttributes attributes{};
  XGetWindowAttributes(client.display(), deep, &attributes);
  ASSERT_EQ(attributes.depth, 32) << "Xvfb has a visual with alpha";
  const Rect rect{25, 315, 100, 329};
  for (int second = 0; second < 4; ++second) {
    for (const auto& [target, left] : {std::pair{window, 0}, std::pair{deep, 400}}) {
      client.focus(target);
      settle();
      frame(chosen->GetForegroundWindow(), clockText(second), rect);
      settle();
      Area onScreen = areaOf(rect);
      onScreen.x += left;
      EXPECT_EQ(client.overlayText(client.root(), onScreen, kBackground), clockText(second))
          << (target == deep ? "32 bits" : "the screen's depth") << ", second " << second;
    }
  }
  EXPECT_EQ(session->trappedErrors(), 0u);
}

// With "Scale to the game" and no window in front, the clock is placed on the screen as big as
// it is now: a change of resolution resizes the root, whose ConfigureNotify (as RandR sends it)
// tells the new size.
TEST_F(X11Backend, TheScreensSizeIsFollowedWhenTheResolutionChanges) {
  chosen->setScaleToGame(true);
  chosen->setOwnWindow(true);
  client.focus(PointerRoot);
  settle();
  session->processPendingEvents();
  ASSERT_EQ(chosen->GetForegroundWindow(), 0u);
  ASSERT_NE(session->overlayWindow(), nullptr);
  const auto placed = [&] {
    // As the renderer's frames do: the window in front first.
    frame(chosen->GetForegroundWindow(), "00 : 00 : 00", {25, 315, 100, 329});
    settle();
    XWindowAttributes seen{};
    XGetWindowAttributes(client.display(), session->overlayWindow()->window(), &seen);
    return std::pair{seen.x, seen.y};
  };
  EXPECT_EQ(placed(), std::pair(40, 504)) << "25, 315 of 640 x 480 on 1024 x 768";

  XEvent resized{};
  resized.xconfigure.type = ConfigureNotify;
  resized.xconfigure.event = resized.xconfigure.window = client.root();
  resized.xconfigure.width = 640;
  resized.xconfigure.height = 480;
  XSendEvent(client.display(), client.root(), False, StructureNotifyMask, &resized);
  client.sync();
  settle();
  session->processPendingEvents();
  EXPECT_EQ(placed(), std::pair(25, 315));
}

TEST_F(X11Backend, AnHourOfFramesLeavesNoResourceOrMemoryBehind) {
  client.setActiveWindow(window);
  const Rect rect{25, 315, 100, 329};
  for (int i = 0; i < 200; ++i) frame(chosen->GetForegroundWindow(), clockText(0), rect);
  settle();
  const long resourcesBefore = serverResources(client.display());
  [[maybe_unused]] const long memoryBefore = residentKiB();
  for (int i = 1; i <= 36000; ++i) {
    frame(chosen->GetForegroundWindow(), clockText(i / 10 % 120), rect);
    if (i % 3000 == 0) settle();
  }
  settle();
  EXPECT_EQ(session->trappedErrors(), 0u);
#ifndef __SANITIZE_ADDRESS__  // its quarantine keeps freed memory resident; LeakSanitizer checks
  EXPECT_LT(residentKiB() - memoryBefore, 256);
#endif
  EXPECT_EQ(serverResources(client.display()), resourcesBefore);
  EXPECT_EQ(client.overlayText(window, areaOf(rect), kBackground), clockText(3600 % 120));
}

}  // namespace
}  // namespace tollivane::x11test
