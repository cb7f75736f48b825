// The window in front and the drawing on it, read back from the server's pixels.
#include "backend_fixture.hpp"

#include "platform/x11/font_choice.hpp"
#include "platform/x11/screen_readback.hpp"

#include <X11/keysym.h>
#include "x_resources.hpp"

namespace tollivane::x11test {
namespace {

TEST_F(X11Backend, ForegroundIsTheActiveWindowElseTheInputFocus) {
  const Window other = client.createWindow({200, 0, 100, 100}, kBackground);
  auto foreground = [&] {
    settle();
    return session->surface().GetForegroundWindow();
  };
  client.focus(window);
  EXPECT_EQ(foreground(), window);
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

TEST_F(X11Backend, FramesDrawTheTextCentredAtTheTopOfTheRectangleAndClipped) {
  for (const DrawCase& c : kDrawCases) {
    SCOPED_TRACE(c.text + " at " + std::to_string(c.rect.Top));
    frame(window, c.text, c.rect, c.color);
    settle();
    EXPECT_EQ(client.pixels(window, around(c.rect)),
              client.expected(c.text, areaOf(c.rect), around(c.rect), kBackground, c.rgb));
  }
  EXPECT_EQ(session->trappedErrors(), 0u);
}

// A look draws the text afresh in the colour the frame drew it in, however often that changes.
TEST_F(X11Backend, ALookFindsTheTextShownInEachColourItWasDrawnIn) {
  platform::x11::ScreenReadback readback(client.display());
  const platform::x11::TextFont font = platform::x11::FontChoice(client.display()).defaultFont();
  const std::string text = "01 : 02 : 05";
  const Rect rect{25, 250, 100, 264};
  const int width = XTextWidth(font.metrics, text.data(), static_cast<int>(text.size()));
  for (const platform::ColorRef color : {0x000000u, 0x0000FFu, 0xFF8000u, 0x000000u}) {
    frame(window, text, rect, color);
    settle();
    const platform::x11::DrawnText drawn{
        text, font, width, 25 + (75 - width) / 2, 250 + font.metrics->ascent, {25, 250, 75, 14},
        color};
    EXPECT_EQ(readback.compare(drawn, {0, 0, 340, 400}), platform::ClockSeen::Shown) << color;
  }
}

TEST_F(X11Backend, RectanglesBeyondTheCoordinateRangeDrawNothing) {
  const Rect rects[] = {{-32768, 315, -32693, 329},
                        {65536 + 25, 315, 65536 + 100, 329},
                        {25, 65536 + 315, 100, 65536 + 329},
                        {25, -65536 + 315, 100, -65536 + 329},
                        {100, 315, 25, 329}};
  for (const Rect& rect : rects) frame(window, "00 : 00 : 00", rect);
  settle();
  EXPECT_EQ(client.pixels(window, kWindowArea), Pixels(340 * 400, kBackground));
  EXPECT_EQ(session->trappedErrors(), 0u);
}

TEST_F(X11Backend, WindowZeroMeansTheScreenInScreenCoordinates) {
  const Window placed = client.createWindow({100, 50, 200, 200}, kBackground);
  frame(0, "00 : 00 : 07", {150, 100, 225, 114});
  settle();
  const Area inWindow{50, 50, 75, 14};
  EXPECT_EQ(client.pixels(placed, grown(inWindow, 3)),
            client.expected("00 : 00 : 07", inWindow, grown(inWindow, 3), kBackground));
}

TEST_F(X11Backend, ContextZeroDoesNothingAndNoBrushFills) {
  auto& surface = session->surface();
  const Rect rect{25, 315, 100, 329};
  surface.SetTextColor(0, 0xFFFFFF);
  surface.FillRect(0, rect, 0x00FF00);
  surface.DrawTextA(0, "00 : 00 : 00", 12, rect, platform::kDtCenter);
  surface.ReleaseDC(window, 0);
  surface.DeleteObject(0);
  frame(window, "", rect, 0, 0);
  settle();
  EXPECT_EQ(client.pixels(window, kWindowArea), Pixels(340 * 400, kBackground));

  frame(window, "00 : 00 : 03", rect, 0x000000, 0x00FF00);
  settle();
  EXPECT_EQ(client.pixels(window, areaOf(rect)),
            client.expected("00 : 00 : 03", areaOf(rect), areaOf(rect), kBackground))
      << "the text alone, whatever the brush";
}

TEST_F(X11Backend, AWindowDestroyedMidFrameCostsThatFrameOnly) {
  client.focus(window);
  auto& surface = session->surface();
  const platform::WindowHandle target = surface.GetForegroundWindow();
  ASSERT_EQ(target, window);
  const platform::DeviceContext dc = surface.GetDC(target);
  client.destroyWindow(window);
  surface.SetTextColor(dc, 0);
  surface.DrawTextA(dc, "00 : 00 : 01", 12, {25, 315, 100, 329}, platform::kDtCenter);
  surface.ReleaseDC(target, dc);
  frame(target, "00 : 00 : 01", {25, 315, 100, 329});  // the same window again, already gone
  settle();
  EXPECT_GT(session->trappedErrors(), 0u);

  const Window next = client.createWindow(kWindowArea, kBackground);
  client.focus(next);
  settle();
  frame(surface.GetForegroundWindow(), "00 : 00 : 02", {25, 315, 100, 329});
  settle();
  EXPECT_EQ(client.overlayText(next, {25, 315, 75, 14}, kBackground), "00 : 00 : 02");
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
  auto& surface = session->surface();
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

TEST_F(X11Backend, AnHourOfFramesLeavesNoResourceOrMemoryBehind) {
  client.setActiveWindow(window);
  const Rect rect{25, 315, 100, 329};
  for (int i = 0; i < 200; ++i) frame(session->surface().GetForegroundWindow(), clockText(0), rect);
  settle();
  const long resourcesBefore = serverResources(client.display());
  [[maybe_unused]] const long memoryBefore = residentKiB();
  for (int i = 1; i <= 36000; ++i) {
    frame(session->surface().GetForegroundWindow(), clockText(i / 10 % 120), rect);
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
