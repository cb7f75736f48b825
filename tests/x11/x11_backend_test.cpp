// The X11 backend against a private Xvfb: keys injected with XTEST, drawings read back.
// GoogleTest and the platform interface before Xlib, whose macros (None, Status) clash.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "platform/x11/x11_session.hpp"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "test_client.hpp"
#include "xvfb.hpp"
#ifdef TOLLIVANE_HAVE_XRES
#include <X11/extensions/XRes.h>
#endif

namespace tollivane::x11test {
namespace {

using platform::Rect;
using platform::x11::X11Session;

constexpr std::uint32_t kBackground = 0x204060;
constexpr Area kWindowArea{0, 0, 340, 400};

Area areaOf(const Rect& r) { return {r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top}; }
Area grown(const Area& a, int by) {
  return {a.x - by, a.y - by, a.width + 2 * by, a.height + 2 * by};
}

class X11Backend : public ::testing::Test {
 protected:
  Xvfb server;
  TestClient client{server.display()};
  std::unique_ptr<X11Session> session = X11Session::open(server.display().c_str());
  Window window = client.createWindow(kWindowArea, kBackground);

  void SetUp() override { ASSERT_TRUE(session); }

  std::int16_t query(int vk) {
    return session->keys().GetAsyncKeyState(static_cast<std::int16_t>(vk));
  }
  // A round trip on the session's connection: the server has handled all it was sent, and
  // every event sent to it before is queued.
  void settle() { query(116); }

  void frame(platform::WindowHandle target, const std::string& text, const Rect& rect,
             platform::ColorRef color = 0, platform::BrushHandle brush = 0) {
    auto& surface = session->surface();
    const platform::DeviceContext dc = surface.GetDC(target);
    surface.SetTextColor(dc, color);
    surface.FillRect(dc, rect, brush);
    surface.DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), rect, platform::kDtCenter);
    surface.ReleaseDC(target, dc);
  }
};

TEST_F(X11Backend, KeyStateShowsHeldKeysAndRemembersTapsUntilQueried) {
  struct Case {
    int vk;
    KeySym pressed;
  };
  const Case cases[] = {{116, XK_F5},     {123, XK_F12},      {65, XK_a},     {90, XK_z},
                        {49, XK_1},       {103, XK_KP_7},     {37, XK_Left},  {0xBA, XK_semicolon},
                        {16, XK_Shift_R}, {17, XK_Control_R}, {18, XK_Alt_L}, {0xA2, XK_Control_L}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vk);
    EXPECT_EQ(query(c.vk), 0);
    client.key(c.pressed, true);
    EXPECT_EQ(query(c.vk), static_cast<std::int16_t>(0x8001));
    EXPECT_EQ(query(c.vk), static_cast<std::int16_t>(0x8000));
    client.key(c.pressed, false);
    EXPECT_EQ(query(c.vk), 0);
    client.tap(c.pressed, std::chrono::milliseconds(30));
    EXPECT_EQ(query(c.vk), 1);
    EXPECT_EQ(query(c.vk), 0);
  }
}

TEST_F(X11Backend, OnlyQueriedKeysAreTrackedAndUnknownCodesGiveZero) {
  client.tap(XK_F6, std::chrono::milliseconds(20));
  EXPECT_EQ(query(117), 0) << "a tap before the key was ever asked for is not kept";

  client.key(XK_F5, true);
  for (int unknown : {0, 7, 0x88, 255, -1, 300}) EXPECT_EQ(query(unknown), 0) << unknown;
  EXPECT_LT(query(116), 0);
  client.key(XK_F5, false);
}

TEST_F(X11Backend, KeysStillReachTheFocusedWindow) {
  client.focus(window);
  query(116);
  client.tap(XK_F5, std::chrono::milliseconds(20));
  EXPECT_EQ(query(116), 1);
  XEvent event;
  ASSERT_TRUE(XCheckWindowEvent(client.display(), window, KeyPressMask, &event));
  EXPECT_EQ(XkbKeycodeToKeysym(client.display(), static_cast<KeyCode>(event.xkey.keycode), 0, 0),
            static_cast<KeySym>(XK_F5));
}

TEST_F(X11Backend, KeyStateFollowsAChangedKeyboardMapping) {
  Display* d = client.display();
  int minCode = 0;
  int maxCode = 0;
  XDisplayKeycodes(d, &minCode, &maxCode);
  int spare = 0;
  for (int code = maxCode; code >= minCode && spare == 0; --code) {
    if (XkbKeycodeToKeysym(d, static_cast<KeyCode>(code), 0, 0) == NoSymbol) spare = code;
  }
  ASSERT_NE(spare, 0);
  EXPECT_EQ(query(116), 0);

  KeySym f5 = XK_F5;
  XChangeKeyboardMapping(d, spare, 1, &f5, 1);
  client.sync();
  settle();  // handles the mapping change

  XTestFakeKeyEvent(d, static_cast<unsigned>(spare), True, CurrentTime);
  client.sync();
  EXPECT_EQ(query(116), static_cast<std::int16_t>(0x8001)) << "the new F5 key counts";
  XTestFakeKeyEvent(d, static_cast<unsigned>(spare), False, CurrentTime);
  client.sync();
  client.tap(XK_F5, std::chrono::milliseconds(20));
  EXPECT_EQ(query(116), 1) << "and the old one still does";
}

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
  struct Case {
    std::string text;
    Rect rect;
    platform::ColorRef color;
    std::uint32_t rgb;
  };
  const Case cases[] = {
      {"00 : 00 : 00", {25, 315, 100, 329}, 0x000000, 0x000000},
      {"01 : 02 : 05", {25, 250, 100, 264}, 0x0000FF, 0xFF0000},    // 0x00BBGGRR in, RGB out
      {"1165 : 05 : 04", {25, 200, 100, 214}, 0xFF8000, 0x0080FF},  // wider: cut on both sides
      {"00 : 00 : 00", {25, 150, 100, 156}, 0x000000, 0x000000},    // lower part cut
      {"00 : 00 : 00", {-40, 100, 35, 114}, 0x000000, 0x000000},    // off the left edge
      {"", {25, 50, 100, 64}, 0x000000, 0x000000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " at " + std::to_string(c.rect.Top));
    frame(window, c.text, c.rect, c.color);
    settle();
    Area around = grown(areaOf(c.rect), 4);
    if (around.x < 0) {
      around.width += around.x;
      around.x = 0;
    }
    EXPECT_EQ(client.pixels(window, around),
              client.expected(c.text, areaOf(c.rect), around, kBackground, c.rgb));
  }
  EXPECT_EQ(session->trappedErrors(), 0u);
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

TEST_F(X11Backend, ContextZeroDoesNothingAndOnlyABrushFills) {
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
            client.expected("00 : 00 : 03", areaOf(rect), areaOf(rect), 0x00FF00))
      << "the fill is the brush's colour and the text keeps its own";
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

long residentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

#ifdef TOLLIVANE_HAVE_XRES
long serverResources(Display* d) {
  int count = 0;
  XResClient* clients = nullptr;
  long total = 0;
  XResQueryClients(d, &count, &clients);
  for (int i = 0; i < count; ++i) {
    int types = 0;
    XResType* counts = nullptr;
    XResQueryClientResources(d, clients[i].resource_base, &types, &counts);
    for (int t = 0; t < types; ++t) total += counts[t].count;
    XFree(counts);
  }
  XFree(clients);
  return total;
}
#endif

TEST_F(X11Backend, AnHourOfFramesLeavesNoResourceOrMemoryBehind) {
  client.setActiveWindow(window);
  const Rect rect{25, 315, 100, 329};
  for (int i = 0; i < 200; ++i) frame(session->surface().GetForegroundWindow(), clockText(0), rect);
  settle();
#ifdef TOLLIVANE_HAVE_XRES
  const long resourcesBefore = serverResources(client.display());
#endif
  const long memoryBefore = residentKiB();
  for (int i = 1; i <= 36000; ++i) {
    frame(session->surface().GetForegroundWindow(), clockText(i / 10 % 120), rect);
    if (i % 3000 == 0) settle();
  }
  settle();
  EXPECT_EQ(session->trappedErrors(), 0u);
  EXPECT_LT(residentKiB() - memoryBefore, 256);
#ifdef TOLLIVANE_HAVE_XRES
  EXPECT_EQ(serverResources(client.display()), resourcesBefore);
#endif
  EXPECT_EQ(client.overlayText(window, areaOf(rect), kBackground), clockText(3600 % 120));
}

TEST(X11SessionOpen, GivesNothingWithoutAServer) { EXPECT_EQ(X11Session::open(":9876"), nullptr); }

TEST(X11SessionLost, LosingTheServerEndsTheProgramWithOneClearLine) {
  EXPECT_EXIT(
      {
        Xvfb doomed;
        auto session = X11Session::open(doomed.display().c_str());
        if (!session) std::_Exit(3);
        doomed.kill();
        for (;;) {
          session->processPendingEvents();
          session->keys().GetAsyncKeyState(116);
        }
      },
      ::testing::ExitedWithCode(1), "^Tollivane: lost the connection to the X server\n$");
}

}  // namespace
}  // namespace tollivane::x11test
