// The overlay in a small window of our own, for games that repaint over anything drawn onto
// them. The window is override-redirect (no window manager frames or focuses it), takes no
// input at all (its input shape is empty, so clicks reach the game) and is shaped to the text's
// cells, so the game shows through the rest of the rectangle as it does around text drawn onto
// it. It follows the window in front by that window's events, not by asking each frame.
#pragma once

#include <string>

// Before Xlib, whose macros (None, Status) would rewrite it.
#include "platform/x11/own_window.hpp"

#include <X11/Xlib.h>

#include "platform/x11/font_choice.hpp"
#include "platform/x11/pixel_format.hpp"
#include "platform/x11/text_pen.hpp"
#include "platform/x11/window_event_masks.hpp"
#include "platform/x11/x11_geometry.hpp"

namespace tollivane::platform::x11 {

class X11Surface;

class X11OverlayWindow final : public OwnWindow {
 public:
  // `direct` says which window is in front and where it lies, and lends its fonts; the window is
  // created at the first frame, so a user who never turns it on costs the server nothing.
  X11OverlayWindow(Display* display, X11Surface& direct);
  ~X11OverlayWindow() override;
  X11OverlayWindow(const X11OverlayWindow&) = delete;
  X11OverlayWindow& operator=(const X11OverlayWindow&) = delete;

  platform::DeviceContext GetDC(platform::WindowHandle window) override;
  void ReleaseDC(platform::WindowHandle window, platform::DeviceContext dc) override;
  void hide() override;

  // Exposure and visibility of ours, and the window in front going away; others are ignored.
  // Comes before `direct` hears of the event.
  void onEvent(const XEvent& event);

 private:
  // What one frame drew, in the window's own coordinates; kept to redraw after an exposure.
  struct Drawing {
    unsigned long textPixel = 0;
    TextFont font;
    std::string text;
    int textX = 0;
  };

  bool create();
  bool place(const platform::Rect& rect);
  void layOut(const Frame& frame);
  void paint();

  Display* display_;
  X11Surface& direct_;
  Window root_;
  int depth_ = 0;
  PixelFormat format_;
  unsigned long white_ = 0;  // behind each character
  TextPen pen_;

  // The top-left of the client area of the window frames are placed over, on the screen.
  int originX_ = 0;
  int originY_ = 0;

  Drawing next_;
  Drawing shown_;
  bool needsPaint_ = false;

  XRectangle geometry_{};  // where the window stands, on the screen
  XRectangle shape_{};     // its bounding shape, in its own coordinates, when shapeParts_ is 1
  int shapeParts_ = 0;
  bool mapped_ = false;
  bool covered_ = false;
};

}  // namespace tollivane::platform::x11
