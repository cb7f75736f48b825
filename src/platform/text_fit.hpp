// Which size the clock's text is drawn in: the largest whose digits show whole in the
// rectangle, in its height and its width. One rule for every system and every way to the
// screen.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace tollivane::platform {

// The widest text the clock shows: up to 99 hours.
inline constexpr std::string_view kWidestClockText = "99 : 59 : 59";

// One size of a font, as measured.
struct FontMeasure {
  int ascent = 0;
  int descent = 0;
  int width = 0;  // of kWidestClockText
};

// Digits stand on the baseline and only round ones reach below it, by a row at most: they are
// whole when the ascent and that row fit the height; the rest of the descent may be cut off.
bool fits(const FontMeasure& font, int height, int width);

// Of the sizes that fit, the one of the tallest ascent, the narrowest of those; none when no
// size fits.
std::optional<std::size_t> largestFitting(std::span<const FontMeasure> fonts, int height,
                                          int width);

}  // namespace tollivane::platform
