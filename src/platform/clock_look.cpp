#include "platform/clock_look.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tollivane::platform {
namespace {

constexpr std::uint32_t kColour = 0xFFFFFF;

bool alike(std::uint32_t a, std::uint32_t b) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int x = static_cast<int>((a >> shift) & 0xFF);
    const int y = static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(x - y) > kColourDistance) return false;
  }
  return true;
}

}  // namespace

ClockSeen compareClock(const DrawnPixels& drawn, const PixelRows& seen) {
  const std::uint32_t ink = drawn.ink & kColour;
  const std::uint32_t cell = drawn.cell & kColour;
  const int width = std::min(drawn.rows.width, seen.width);
  const int height = std::min(drawn.rows.height, seen.height);
  if (width <= 0 || height <= 0) return ClockSeen::Unknown;
  const auto row = [](const PixelRows& rows, int y) { return rows.pixels + y * rows.stride; };
  // The usual answer, twice a second while the clock is drawn onto a still game: the screen
  // shows every pixel as drawn. Asked of whole rows first, which costs a look far less; rows
  // that follow each other without a gap in both are asked as one.
  const bool oneBlock = drawn.rows.stride == width && seen.stride == width;
  const int blocks = oneBlock ? 1 : height;
  const std::size_t blockBytes =
      (oneBlock ? std::size_t{1} * width * height : width) * sizeof(std::uint32_t);
  bool same = true;
  for (int y = 0; y < blocks && same; ++y) {
    same = std::memcmp(row(drawn.rows, y), row(seen, y), blockBytes) == 0;
  }
  long solid = 0;
  long different = 0;
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* want = row(drawn.rows, y);
    const std::uint32_t* shows = row(seen, y);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t pixel = want[x] & kColour;
      if (pixel != ink && pixel != cell) continue;
      if (same) return ClockSeen::Shown;
      ++solid;
      const std::uint32_t shown = shows[x] & kColour;
      if (shown != pixel && !alike(pixel, shown)) ++different;
    }
  }
  if (solid == 0) return ClockSeen::Unknown;
  return different * 100 > solid * kMostDifferentPercent ? ClockSeen::PaintedOver
                                                         : ClockSeen::Shown;
}

}  // namespace tollivane::platform
