// Whether the screen shows the clock as it was drawn: the text drawn afresh into memory beside
// what the screen shows at the same place, pixel by pixel. One rule for every system.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/chosen_surface.hpp"

namespace tollivane::platform {

// Pixels as 0xRRGGBB (the top byte is not looked at), row after row.
struct PixelRows {
  const std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;  // pixels from the start of one row to the next
};

// The text drawn afresh: a pixel of exactly `ink` is wholly text, one of exactly `cell` wholly
// its character cell; any other is a glyph's blended edge or lies outside the cells.
struct DrawnPixels {
  PixelRows rows;
  std::uint32_t ink = 0;
  std::uint32_t cell = 0;
};

// Only solid pixels are compared: glyph edges are blended by whoever draws onto the window
// (Wine's X11 driver, the DIB engine, ClearType, a gamma of its own), not as our copy is.
// A solid pixel differs when one of its channels is more than kColourDistance steps off: a
// screen of fewer colours moves a pixel by a few.
inline constexpr int kColourDistance = 32;
// The clock is painted over when more than this share of its solid pixels differ. A game's
// repaint replaces nearly all of them; a tooltip's corner or a cursor over the clock is no
// repaint, and a window of our own would not bring the clock back from under it.
inline constexpr int kMostDifferentPercent = 10;

// Compares the part both cover, from their top-left. Unknown without solid pixels.
ClockSeen compareClock(const DrawnPixels& drawn, const PixelRows& seen);

}  // namespace tollivane::platform
