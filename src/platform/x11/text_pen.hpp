// The clock's text onto X drawables, one way for every surface that draws it: the font chosen
// for a height (font_choice.hpp), where the text goes atop its rectangle, the GCs it is drawn
// with (one of the default font and one of any other, per depth), each changed only where the
// text differs from the last, and the one path a text takes to the server.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/x11/pixel_format.hpp"

#include <X11/Xlib.h>

#include "platform/x11/font_choice.hpp"
#include "platform/x11/x11_geometry.hpp"

struct xcb_connection_t;

namespace tollivane::platform::x11 {

// A text at the top of its rectangle, in the font chosen for it.
struct TextLayout {
  TextFont font;  // metrics null: the server has no font, and nothing is drawn
  int width = 0;  // of the whole text in that font
  std::int64_t x = 0;
  std::int64_t baseline = 0;
};

// One text to draw, in coordinates of its target.
struct TextStroke {
  Drawable target = 0;
  int depth = 0;
  TextFont font;
  unsigned long ink = 0;
  std::optional<unsigned long> cells;  // behind each character; none: the glyphs alone
  std::optional<XRectangle> clip;      // none: the whole target
  int x = 0;
  int baseline = 0;
  std::string_view text;
};

class TextPen {
 public:
  explicit TextPen(Display* display);
  ~TextPen();
  TextPen(const TextPen&) = delete;
  TextPen& operator=(const TextPen&) = delete;

  // In the font `fonts` has for digits `pixels` tall (0: the largest the rectangle holds),
  // centred in `rect` or from its left edge.
  TextLayout layOut(FontChoice& fonts, int pixels, const platform::Rect& rect,
                    std::string_view text, bool centred);
  unsigned long pixelFor(platform::ColorRef color, const PixelFormat& format) {
    return pixels_.pixelFor(color, format);
  }
  void draw(const TextStroke& stroke);
  // The GC of the default font for `depth`, which also copies, child windows included.
  GC plainGc(int depth);
  // Sends the latest text and every request before it, never waiting for a reply; a request
  // made through Xlib after the text goes out with Xlib's own XFlush only.
  void flush();

 private:
  struct Pen {
    GC gc = nullptr;
    Font font = 0;  // 0: the server's default, which a GC cannot be given back once changed
    unsigned long ink = 0;
    unsigned long cells = 0;
    std::optional<XRectangle> clip;
  };
  struct Pens {
    int depth = 0;
    Pen plain;  // in the default font
    Pen sized;  // in any other
  };

  Pens& pensFor(int depth);
  Pens& otherPens(int depth);
  void make(Pen& pen, int depth, unsigned long ink, unsigned long cells);

  Display* display_;
  xcb_connection_t* xcb_;
  Window root_;
  std::array<Pens, 2> pens_{};
  std::size_t latest_ = 0;  // of pens_, drawn with last
  bool sentThroughXcb_ = false;
  PixelCache pixels_;
  TextWidths widths_;
};

}  // namespace tollivane::platform::x11
