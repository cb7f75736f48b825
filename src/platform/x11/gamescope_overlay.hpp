// The overlay in gamescope (Steam Deck's game mode), where nothing drawn onto the game is
// seen and any plain window may take the whole screen: a window of our own over the whole
// screen with a 32-bit visual, transparent but for the clock's text, which gamescope shows
// above the game as its one outside overlay (GAMESCOPE_EXTERNAL_OVERLAY). It is override-
// redirect, takes no input (empty input shape, WM_HINTS input False) and gives the overlay
// slot back (property 0, unmapped) whenever the clock leaves the screen.
#pragma once

#include <string>

// Before Xlib, whose macros (None, Status) would rewrite it.
#include "platform/x11/own_window.hpp"

#include <X11/Xlib.h>

#include "platform/x11/font_choice.hpp"
#include "platform/x11/pixel_format.hpp"
#include "platform/x11/text_pen.hpp"

namespace tollivane::platform::x11 {

class GamescopeOverlay final : public OwnWindow {
 public:
  // Draws on `display`, gamescope's first X server, which may be another connection than the
  // one `front` asks which window is in front. `hearsEvents`: the events of `display` reach
  // onEvent; otherwise the window asks for none, which would pile up unread. The window is
  // made at the first frame, never where the server has no 32-bit visual.
  GamescopeOverlay(Display* display, platform::ForegroundSurface& front, bool hearsEvents);
  ~GamescopeOverlay() override;
  GamescopeOverlay(const GamescopeOverlay&) = delete;
  GamescopeOverlay& operator=(const GamescopeOverlay&) = delete;

  platform::DeviceContext GetDC(platform::WindowHandle window) override;
  void ReleaseDC(platform::WindowHandle window, platform::DeviceContext dc) override;
  void hide() override;

  // An exposure of ours redraws the text; others are ignored.
  void onEvent(const XEvent& event);

 private:
  struct Drawing {
    unsigned long pixel = 0;
    TextFont font;
    std::string text;
    int width = 0;      // of the text in its font
    XRectangle clip{};  // the frame's rectangle, on the screen
    int x = 0;
    int baseline = 0;
  };

  bool create();
  void setOverlay(long value);
  void layOut(const Frame& frame);
  void paint();

  Display* display_;
  Window root_;
  Colormap colormap_ = 0;
  Atom overlayAtom_ = 0;
  bool hearsEvents_;
  bool failed_ = false;  // no 32-bit visual: frames draw nothing
  PixelFormat format_;
  FontChoice fonts_;
  TextPen pen_;

  Drawing next_;
  Drawing shown_;
  XRectangle shownBox_{};  // what the shown text covers, cleared before the next is drawn
  bool mapped_ = false;
};

}  // namespace tollivane::platform::x11
