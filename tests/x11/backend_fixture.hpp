// A private Xvfb, the tests' own connection and an X11 session of the backend on it, with a
// window of the tests' own to draw on.
#pragma once

// GoogleTest and the platform interface before Xlib, whose macros (None, Status) clash.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/x11/x11_session.hpp"

#include "test_client.hpp"
#include "xvfb.hpp"
#ifdef TOLLIVANE_HAVE_XRES
#include <unistd.h>

#include <vector>

#include "x_traffic.hpp"
#endif

namespace tollivane::x11test {

using platform::Rect;
using platform::x11::X11Session;

inline constexpr std::uint32_t kBackground = 0x204060;
inline constexpr Area kWindowArea{0, 0, 340, 400};

inline Area areaOf(const Rect& r) { return {r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top}; }
inline Area grown(const Area& a, int by) {
  return {a.x - by, a.y - by, a.width + 2 * by, a.height + 2 * by};
}

class X11Backend : public ::testing::Test {
 protected:
  Xvfb server;
  TestClient client{server.display()};
  std::unique_ptr<X11Session> session = X11Session::open(server.display().c_str());
  Window window = client.createWindow(kWindowArea, kBackground);

  void SetUp() override { ASSERT_TRUE(session); }

  // One query, once every event sent before it has been handled.
  std::int16_t query(int vk) {
    settle();
    return session->keys().GetAsyncKeyState(static_cast<std::int16_t>(vk));
  }
#ifdef TOLLIVANE_HAVE_XRES
  // The session's connection, the one of this process that made no window.
  std::vector<XID> sessionClient() {
    std::vector<XID> ours = clientsOf(client.display(), getpid());
    std::erase_if(ours, [&](XID base) { return (window & ~XID{0x1FFFFF}) == base; });
    return ours;
  }
#endif

  // A round trip on the session's connection: the server has handled all it was sent, and
  // every event it sent before is handled.
  void settle() { session->sync(); }

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

}  // namespace tollivane::x11test
