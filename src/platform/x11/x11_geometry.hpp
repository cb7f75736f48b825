// What both ways of drawing on X share about placing text: the protocol's 16-bit limits and
// the width of the last text measured.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <X11/Xlib.h>

namespace tollivane::platform::x11 {

// Coordinates go out as 16-bit signed numbers, sizes as 16-bit unsigned ones.
inline constexpr std::int64_t kMinCoordinate = -32768;
inline constexpr std::int64_t kMaxCoordinate = 32767;
inline constexpr std::int64_t kMaxSize = 65535;

// The width of a text in a font, measured once per text and font: a running clock draws each
// text ten times. Allocates nothing for texts of the clock's length.
class TextWidths {
 public:
  TextWidths() { text_.reserve(32); }
  int of(XFontStruct* metrics, Font font, const char* text, int count) {
    const auto length = static_cast<std::size_t>(count);
    if (font != font_ || text_.size() != length || text_.compare(0, length, text, length) != 0) {
      text_.assign(text, length);
      font_ = font;
      width_ = XTextWidth(metrics, text, count);
    }
    return width_;
  }

 private:
  std::string text_;
  Font font_ = 0;
  int width_ = 0;
};

}  // namespace tollivane::platform::x11
