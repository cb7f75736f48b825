#include "platform/text_fit.hpp"

namespace tollivane::platform {

bool fits(const FontMeasure& font, int height, int width) {
  return font.ascent < height && font.width <= width;
}

std::optional<std::size_t> largestFitting(std::span<const FontMeasure> fonts, int height,
                                          int width) {
  std::optional<std::size_t> best;
  for (std::size_t i = 0; i < fonts.size(); ++i) {
    if (!fits(fonts[i], height, width)) continue;
    if (!best || fonts[i].ascent > fonts[*best].ascent ||
        (fonts[i].ascent == fonts[*best].ascent && fonts[i].width < fonts[*best].width)) {
      best = i;
    }
  }
  return best;
}

}  // namespace tollivane::platform
