// The overlay: the clock text drawn straight onto the foreground window.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.hpp"

namespace tollivane::stopwatch {

inline constexpr std::int16_t kOverlayWidth = 75;
inline constexpr std::int16_t kOverlayHeight = 14;

// The 75 x 14 rectangle at (x, y); raises "Overflow" when Right or Bottom leave 16 bits.
platform::Rect overlayRectFor(std::int16_t x, std::int16_t y);

struct OverlayStyle {
  platform::ColorRef textColor;
  platform::BrushHandle backBrush;
};

// One frame: foreground window, its context, colour, fill, centred text, release.
// `dc` receives the frame's context. Allocates nothing.
void drawOverlayFrame(platform::ForegroundSurface& surface, const std::string& text,
                      const platform::Rect& rect, const OverlayStyle& style,
                      platform::DeviceContext& dc);

}  // namespace tollivane::stopwatch
