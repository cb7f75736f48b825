#include "platform/clock_look.hpp"

#include <algorithm>
#include <cstdlib>

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
  long solid = 0;
  long different = 0;
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* want = drawn.rows.pixels + y * drawn.rows.stride;
    const std::uint32_t* shows = seen.pixels + y * seen.stride;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t pixel = want[x] & kColour;
      if (pixel != ink && pixel != cell) continue;
      ++solid;
      if (!alike(pixel, shows[x] & kColour)) ++different;
    }
  }
  if (solid == 0) return ClockSeen::Unknown;
  return different * 100 > solid * kMostDifferentPercent ? ClockSeen::PaintedOver
                                                         : ClockSeen::Shown;
}

}  // namespace tollivane::platform
