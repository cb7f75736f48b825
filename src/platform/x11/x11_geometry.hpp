// What the ways of drawing on X share about placing text: the protocol's 16-bit limits, the
// rectangles' rules and the width of the last text measured.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include <X11/Xlib.h>

namespace tollivane::platform::x11 {

// Coordinates go out as 16-bit signed numbers, sizes as 16-bit unsigned ones.
inline constexpr std::int64_t kMinCoordinate = -32768;
inline constexpr std::int64_t kMaxCoordinate = 32767;
inline constexpr std::int64_t kMaxSize = 65535;

inline bool sameRectangle(const XRectangle& a, const XRectangle& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// The part of the rectangle at x, y inside `bounds`; empty (width 0) when they do not meet.
inline XRectangle intersection(std::int64_t x, std::int64_t y, std::int64_t width,
                               std::int64_t height, const XRectangle& bounds) {
  const std::int64_t left = std::max<std::int64_t>(x, bounds.x);
  const std::int64_t top = std::max<std::int64_t>(y, bounds.y);
  const std::int64_t right = std::min<std::int64_t>(x + width, bounds.x + bounds.width);
  const std::int64_t bottom = std::min<std::int64_t>(y + height, bounds.y + bounds.height);
  if (right <= left || bottom <= top) return {};
  return {static_cast<short>(left), static_cast<short>(top),
          static_cast<unsigned short>(right - left), static_cast<unsigned short>(bottom - top)};
}

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
