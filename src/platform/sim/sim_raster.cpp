#include "platform/sim/sim_raster.hpp"

#include <algorithm>

namespace tollivane::platform::sim {
namespace {

constexpr long long kCellWidth = 6;
constexpr long long kCellHeight = 13;

std::uint32_t rgbOf(ColorRef color) {
  return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

}  // namespace

void rasterText(std::string_view text, const Rect& rect, unsigned format, ColorRef color,
                const Rect& area, Raster& pixels) {
  // In 64 bits: rectangles reach past any coordinate a screen holds, or are inside out.
  const long long textWidth = kCellWidth * static_cast<long long>(text.size());
  const long long width = static_cast<long long>(rect.Right) - rect.Left;
  long long left = rect.Left;
  if (format & kDtCenter) left += (width - textWidth) / 2;
  const long long areaWidth = static_cast<long long>(area.Right) - area.Left;
  for (int y = std::max(area.Top, rect.Top); y < std::min(area.Bottom, rect.Bottom); ++y) {
    const long long row = y - static_cast<long long>(rect.Top);
    if (row >= kCellHeight) break;
    for (int x = std::max(area.Left, rect.Left); x < std::min(area.Right, rect.Right); ++x) {
      const long long column = x - left;
      if (column < 0 || column >= textWidth) continue;
      const char c = text[static_cast<std::size_t>(column / kCellWidth)];
      const long long inCell = column % kCellWidth;
      const bool ink = c != ' ' && inCell >= 1 && inCell <= 4 && row >= 2 && row <= 10;
      pixels[static_cast<std::size_t>((y - area.Top) * areaWidth + (x - area.Left))] =
          ink ? rgbOf(color) : 0xFFFFFF;
    }
  }
}

}  // namespace tollivane::platform::sim
