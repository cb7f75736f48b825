// What a recorded text shows on the simulated screen: the machine's one font, cells of 6 x 13
// pixels, each character's ink 4 x 9 on its white cell, laid out as DrawTextA lays out one
// line (centred with kDtCenter, else from the left, at the top) and clipped to its rectangle.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/platform.hpp"

namespace tollivane::platform::sim {

// 0xRRGGBB pixels of `area`, row by row.
using Raster = std::vector<std::uint32_t>;

// Paints `text` as drawn into `rect` with `format` in `color` (0x00BBGGRR) onto `pixels`, the
// picture of `area`; what lies outside `area` is left out.
void rasterText(std::string_view text, const Rect& rect, unsigned format, ColorRef color,
                const Rect& area, Raster& pixels);

}  // namespace tollivane::platform::sim
