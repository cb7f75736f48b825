// The overlay in a small window of our own, for games that repaint over anything drawn onto
// them. The window is override-redirect (no window manager frames or focuses it), takes no
// input at all (its input shape is empty, so clicks reach the game) and is shaped to the text's
// cells, so the game shows through the rest of the rectangle as it does around text drawn onto
// it. It follows the window in front by that window's events, not by asking each frame.
#pragma once

#include <string>

// Before Xlib, whose macros (None, Status) would rewrite it.
#include "platform/chosen_surface.hpp"

#include <X11/Xlib.h>

#include "platform/x11/font_choice.hpp"
#include "platform/x11/pixel_format.hpp"
#include "platform/x11/text_pen.hpp"
#include "platform/x11/window_event_masks.hpp"
#include "platform/x11/x11_geometry.hpp"

namespace tollivane::platform::x11 {

class X11Surface;

class X11OverlayWindow final : public platform::OwnWindowSurface {
 public:
  // `direct` says which window is in front and where it lies, and lends its fonts; the window is
  // created at the first frame, so a user who never turns it on costs the server nothing.
  X11OverlayWindow(Display* display, X11Surface& direct);
  ~X11OverlayWindow() override;
  X11OverlayWindow(const X11OverlayWindow&) = delete;
  X11OverlayWindow& operator=(const X11OverlayWindow&) = delete;

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
  void hide() override;

  // Exposure and visibility of ours, and the window in front going away; others are ignored.
  // Comes before `direct` hears of the event.
  void onEvent(const XEvent& event);
  // Our window, 0 before the first frame.
  Window window() const { return window_; }

 private:
  // What one frame drew, in the window's own coordinates; kept to redraw after an exposure.
  struct Drawing {
    unsigned long textPixel = 0;
    TextFont font;
    std::string text;
    int textX = 0;
    bool centred = false;
  };

  bool create();
  bool place();
  void layOut();
  void paint();

  Display* display_;
  X11Surface& direct_;
  Window root_;
  Window window_ = 0;
  int depth_ = 0;
  PixelFormat format_;
  unsigned long white_ = 0;  // behind each character
  TextPen pen_;

  // The top-left of the client area of the window frames are placed over, on the screen.
  int originX_ = 0;
  int originY_ = 0;

  bool inFrame_ = false;
  bool frameDrew_ = false;
  platform::Rect frameRect_{};  // the text's, in the target's client coordinates
  Drawing next_;
  Drawing shown_;
  int textHeight_ = 0;
  bool needsPaint_ = false;

  XRectangle geometry_{};  // where the window stands, on the screen
  XRectangle shape_{};     // its bounding shape, in its own coordinates, when shapeParts_ is 1
  int shapeParts_ = 0;
  bool mapped_ = false;
  bool covered_ = false;
};

}  // namespace tollivane::platform::x11
