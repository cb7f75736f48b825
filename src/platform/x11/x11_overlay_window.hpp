// The overlay in a small window of our own, for games that repaint over anything drawn onto
// them. The window is override-redirect (no window manager frames or focuses it), takes no
// input at all (its input shape is empty, so clicks reach the game) and is shaped to the text's
// cells, so the game shows through the rest of the rectangle as it does around text drawn onto
// it. It follows the window in front by that window's events, not by asking each frame.
#pragma once

#include <array>
#include <string>

// Before Xlib, whose macros (None, Status) would rewrite it.
#include "platform/chosen_surface.hpp"

#include <X11/Xlib.h>

#include "platform/x11/pixel_format.hpp"
#include "platform/x11/window_event_masks.hpp"

namespace tollivane::platform::x11 {

class X11Surface;

class X11OverlayWindow final : public platform::OwnWindowSurface {
 public:
  // `direct` says which window is in front and lends its font; the window is created at the
  // first frame, so a user who never turns it on costs the server nothing.
  X11OverlayWindow(Display* display, WindowEventMasks& masks, X11Surface& direct);
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

  // Structure events of the window in front, exposure and visibility of ours; others are
  // ignored.
  void onEvent(const XEvent& event);
  // Our window, 0 before the first frame.
  Window window() const { return window_; }

 private:
  // What one frame drew, in the window's own coordinates; kept to redraw after an exposure.
  struct Drawing {
    bool filled = false;
    unsigned long fillPixel = 0;
    XRectangle fill{};
    unsigned long textPixel = 0;
    std::string text;
    int textX = 0;
    bool centred = false;
  };

  bool create();
  void follow(Window target);
  bool place();
  void layOut();
  void paint();

  static constexpr long kTargetEvents = StructureNotifyMask;

  Display* display_;
  WindowEventMasks& masks_;
  X11Surface& direct_;
  Window root_;
  Window window_ = 0;
  GC gc_ = nullptr;
  PixelFormat format_;

  // The window in front that frames are placed over, and its client area's top-left on the
  // screen, kept up to date by its ConfigureNotify events.
  Window target_ = 0;
  int originX_ = 0;
  int originY_ = 0;
  bool originStale_ = false;
  bool targetMapped_ = true;

  bool inFrame_ = false;
  bool frameDrew_ = false;
  platform::Rect frameRect_{};  // the text's, in the target's client coordinates
  platform::Rect fillRect_{};
  Drawing next_;
  Drawing shown_;
  unsigned long gcForeground_ = 0;
  std::string measuredText_;
  int measuredWidth_ = 0;
  bool needsPaint_ = false;

  XRectangle geometry_{};              // where the window stands, on the screen
  std::array<XRectangle, 2> shape_{};  // its bounding shape, in its own coordinates
  int shapeParts_ = 0;
  bool mapped_ = false;
  bool covered_ = false;
};

}  // namespace tollivane::platform::x11
