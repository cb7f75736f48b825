// Drawing on whatever window is in front, through a connection of our own. X drawables are
// shared between clients, so a context on another program's window works; that window may
// vanish at any moment, and then the frame is lost and nothing else.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

// Before Xlib, whose macros (None, Status) would rewrite it.
#include "platform/chosen_surface.hpp"

#include <X11/Xlib.h>

#include "platform/x11/followed_window.hpp"
#include "platform/x11/font_choice.hpp"
#include "platform/x11/front_window.hpp"
#include "platform/x11/pixel_format.hpp"
#include "platform/x11/screen_readback.hpp"
#include "platform/x11/text_pen.hpp"
#include "platform/x11/window_event_masks.hpp"
#include "platform/x11/x11_geometry.hpp"

namespace tollivane::platform::x11 {

class X11Surface final : public platform::DirectSurface {
 public:
  // `drainEvents` handles the events that have arrived, among them onRootPropertyChanged.
  // `underWayland`: the server is XWayland, whose root window no one sees, and a native
  // Wayland window is in front whenever none of the server's windows is.
  X11Surface(Display* display, WindowEventMasks& masks, std::function<void()> drainEvents,
             bool underWayland);
  ~X11Surface() override;
  X11Surface(const X11Surface&) = delete;
  X11Surface& operator=(const X11Surface&) = delete;

  platform::WindowHandle GetForegroundWindow() override;
  platform::DeviceContext GetDC(platform::WindowHandle window) override;
  void ReleaseDC(platform::WindowHandle window, platform::DeviceContext dc) override;
  void SetTextColor(platform::DeviceContext dc, platform::ColorRef color) override;
  void FillRect(platform::DeviceContext dc, const platform::Rect& rect,
                platform::BrushHandle brush) override;
  void DrawTextA(platform::DeviceContext dc, const char* text, int count,
                 const platform::Rect& rect, unsigned format) override;
  void DeleteObject(platform::BrushHandle object) override;
  void setTextHeight(platform::DeviceContext dc, int pixels) override;
  std::optional<platform::Size> clientSize(platform::WindowHandle window) override;
  platform::ClockSeen lookAtLastClock() override;
  bool screenSeen() const override { return !underWayland_; }

  void onRootPropertyChanged(Atom property) { front_.onRootPropertyChanged(property); }
  // A focus event on the root or on the window that has the focus.
  void onFocusChanged(int detail) { front_.onFocusChanged(detail); }
  // Structure events of the window in front.
  void onStructureEvent(const XEvent& event);
  // The window was found destroyed: the next frame asks which window is in front now.
  void windowGone(platform::WindowHandle window);
  // The fonts text is drawn in, shared with the window of our own.
  FontChoice& fonts() { return fonts_; }
  // Where the window in front lies, shared with the window of our own.
  FollowedWindow& followed() { return followed_; }

 private:
  struct Context {
    Drawable drawable = 0;  // 0: the context is free
    int depth = 0;
    PixelFormat format;
    platform::ColorRef textColor = 0;
    unsigned long textPixel = 0;
    unsigned long cellPixel = 0;
    int textHeight = 0;
  };

  // What the last text's layout was made for.
  struct LaidOut {
    bool held = false;
    int textHeight = 0;
    platform::Rect rect{};
    unsigned format = 0;
    std::string text;
    bool sameAs(int height, const platform::Rect& r, unsigned f, std::string_view t) const {
      return held && height == textHeight && f == format && r.Left == rect.Left &&
             r.Top == rect.Top && r.Right == rect.Right && r.Bottom == rect.Bottom && t == text;
    }
  };

  Context* find(platform::DeviceContext dc);
  bool layOut(const Context& context, std::string_view whole, const platform::Rect& rect,
              unsigned format);
  bool describe(Drawable target);

  Display* display_;
  WindowEventMasks& masks_;
  std::function<void()> drainEvents_;
  Window root_;
  bool underWayland_;
  FrontWindow front_;
  FontChoice fonts_;
  FollowedWindow followed_;
  Drawable described_ = 0;
  unsigned long errorsWhenDescribed_ = 0;
  PixelFormat describedFormat_;
  unsigned long describedBlack_ = 0;  // its pixels, which every frame's context starts with
  unsigned long describedWhite_ = 0;
  int describedDepth_ = 0;
  std::array<Context, 4> contexts_{};
  TextPen pen_;
  // The latest text drawn, until a look at the screen.
  std::string lastCharacters_;
  platform::DrawnText lastText_;
  TextFont lastFont_;
  TextPlace lastPlace_;
  LaidOut laidOut_;
  bool drawnSinceLook_ = false;
  ScreenReadback readback_;
};

}  // namespace tollivane::platform::x11
