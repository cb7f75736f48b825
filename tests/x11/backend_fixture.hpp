// A private Xvfb, the tests' own connection and an X11 session of the backend on it, with a
// window of the tests' own to draw on.
#pragma once

// GoogleTest and the platform interface before Xlib, whose macros (None, Status) clash.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "platform/x11/x11_session.hpp"

#include <unistd.h>
#include "test_client.hpp"
#include "xvfb.hpp"

#include <vector>

#include "x_traffic.hpp"

namespace tollivane::x11test {

using platform::Rect;
using platform::x11::X11Session;

inline constexpr std::uint32_t kBackground = 0x204060;
inline constexpr Area kWindowArea{0, 0, 340, 400};

inline Area areaOf(const Rect& r) { return {r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top}; }
inline Area grown(const Area& a, int by) {
  return {a.x - by, a.y - by, a.width + 2 * by, a.height + 2 * by};
}
// The rectangle and a margin around it, cut at the window's left edge.
inline Area around(const Rect& r) {
  Area a = grown(areaOf(r), 4);
  if (a.x < 0) {
    a.width += a.x;
    a.x = 0;
  }
  return a;
}

// Texts, places and colours a frame is drawn with, and the RGB the text must show in.
struct DrawCase {
  std::string text;
  Rect rect;
  platform::ColorRef color;
  std::uint32_t rgb;
};
inline const DrawCase kDrawCases[] = {
    {"00 : 00 : 00", {25, 315, 100, 329}, 0x000000, 0x000000},
    {"01 : 02 : 05", {25, 250, 100, 264}, 0x0000FF, 0xFF0000},    // 0x00BBGGRR in, RGB out
    {"1165 : 05 : 04", {25, 200, 100, 214}, 0xFF8000, 0x0080FF},  // wider: cut on both sides
    {"00 : 00 : 00", {25, 150, 100, 162}, 0x000000, 0x000000},    // lower part cut
    {"00 : 00 : 00", {-40, 100, 35, 114}, 0x000000, 0x000000},    // off the left edge
    {"", {25, 50, 100, 64}, 0x000000, 0x000000},
    {"01 : 02 : 05", {25, 315, 100, 329}, 0x00FF00, 0x00FF00},  // an earlier clip again
};

// This process's resident memory, in KiB.
inline long residentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

class X11Backend : public ::testing::Test {
 protected:
  Xvfb server;
  TestClient client{server.display()};
  std::unique_ptr<X11Session> session = X11Session::open(server.display().c_str());
  // The way to the screen the program takes, over the session's two.
  std::unique_ptr<platform::ChosenSurface> chosen =
      session ? std::make_unique<platform::ChosenSurface>(session->direct(), session->ownWindow())
              : nullptr;
  Window window = client.createWindow(kWindowArea, kBackground);

  void SetUp() override { ASSERT_TRUE(session); }

  // One query, once every event sent before it has been handled.
  std::int16_t query(int vk) {
    settle();
    return session->keys().GetAsyncKeyState(static_cast<std::int16_t>(vk));
  }
  // The session's connection, the one of this process that made no window.
  std::vector<XID> sessionClient() {
    std::vector<XID> ours = clientsOf(client.display(), getpid());
    std::erase_if(ours, [&](XID base) { return (window & ~XID{0x1FFFFF}) == base; });
    return ours;
  }

  // A round trip on the session's connection: the server has handled all it was sent, and
  // every event it sent before is handled.
  void settle() { session->sync(); }

  void frame(platform::WindowHandle target, const std::string& text, const Rect& rect,
             platform::ColorRef color = 0, platform::BrushHandle brush = 0) {
    auto& surface = *chosen;
    const platform::DeviceContext dc = surface.GetDC(target);
    surface.SetTextColor(dc, color);
    surface.FillRect(dc, rect, brush);
    surface.DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), rect, platform::kDtCenter);
    surface.ReleaseDC(target, dc);
  }
};

}  // namespace tollivane::x11test
