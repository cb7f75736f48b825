// What the screen shows at a text's character cells (opaque, so fully given by the text, its
// font and two colours) beside the same text drawn afresh, both in one small pixmap of our own,
// fetched in one round trip and compared by the one rule of clock_look.hpp. The text drawn
// afresh is kept: while it is what the last look drew, a look reads the screen alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Before Xlib, whose macros (None, Status) would rewrite it.
#include "platform/chosen_surface.hpp"
#include "platform/drawn_text.hpp"

#include <X11/Xlib.h>

#include "platform/x11/followed_window.hpp"
#include "platform/x11/font_choice.hpp"
#include "platform/x11/pixel_format.hpp"
#include "platform/x11/text_pen.hpp"

struct xcb_connection_t;

namespace tollivane::platform::x11 {

// Where a text went in its font, in its window's coordinates.
struct TextPlace {
  int width = 0;  // of the whole text in that font
  int x = 0;
  int baseline = 0;
  XRectangle clip{};
};

class ScreenReadback {
 public:
  explicit ScreenReadback(Display* display);
  ~ScreenReadback();
  ScreenReadback(const ScreenReadback&) = delete;
  ScreenReadback& operator=(const ScreenReadback&) = delete;

  // Compares what the screen shows of `drawn`'s cells, on a window whose client area is
  // `area`, with the text itself. Unknown when no cell lies on the window and the screen, or
  // the server could not answer.
  platform::ClockSeen compare(const platform::DrawnText& drawn, const TextFont& font,
                              const TextPlace& place, const ClientArea& area);

 private:
  // The text's cells drawn afresh, as far as a look reads them, and what they were drawn for.
  struct Expected {
    std::string text;
    Font font = 0;
    unsigned long ink = 0;
    int x = 0;  // of the text, from the left of what is read
    int baseline = 0;
    int width = 0;  // 0: nothing kept
    int height = 0;
    std::vector<std::uint32_t> colours;
  };

  void makeRoom(int width, int height);
  bool keeps(const platform::DrawnText& drawn, Font font, unsigned long ink, int x, int baseline,
             int width, int height) const;

  Display* display_;
  xcb_connection_t* xcb_;
  Window root_;
  int depth_;
  PixelFormat format_;
  Pixmap pixmap_ = 0;  // the screen's part above, the text drawn afresh below
  int width_ = 0;
  int height_ = 0;
  unsigned long white_ = 0;
  TextPen pen_;
  std::vector<std::uint32_t> colours_;  // the pixmap's pixels as colours, made room for once
  Expected expected_;
};

}  // namespace tollivane::platform::x11
