// GoogleTest before Xlib, whose macros (None, Status) clash.
#include <gtest/gtest.h>

#include "platform/x11/pixel_format.hpp"

namespace tollivane::platform::x11 {
namespace {

TEST(PixelFormat, ColoursBecomePixelsOfTheVisual) {
  const PixelFormat rgb24 = PixelFormat::fromMasks(0xFF0000, 0x00FF00, 0x0000FF, 24);
  const PixelFormat argb32 = PixelFormat::fromMasks(0xFF0000, 0x00FF00, 0x0000FF, 32);
  const PixelFormat rgb565 = PixelFormat::fromMasks(0xF800, 0x07E0, 0x001F, 16);
  PixelFormat mono;
  mono.black = 1;  // some servers number black 1
  mono.white = 0;
  struct Case {
    const char* name;
    const PixelFormat& format;
    ColorRef color;
    unsigned long pixel;
  };
  const Case cases[] = {
      {"black", rgb24, 0x000000, 0x000000},
      {"red is the low byte", rgb24, 0x0000FF, 0xFF0000},
      {"blue is the high byte", rgb24, 0xFF0000, 0x0000FF},
      {"mixed", rgb24, 0x123456, 0x563412},
      {"32-bit black is opaque", argb32, 0x000000, 0xFF000000},
      {"32-bit white", argb32, 0xFFFFFF, 0xFFFFFFFF},
      {"565 white", rgb565, 0xFFFFFF, 0xFFFF},
      {"565 grey rounds", rgb565, 0x808080, 0x8410},
      {"565 red", rgb565, 0x0000FF, 0xF800},
      {"no masks, black", mono, 0x000000, 1},
      {"no masks, white", mono, 0xFFFFFF, 0},
      {"no masks, light grey is white", mono, 0x808080, 0},
      {"no masks, dark grey is black", mono, 0x7F7F7F, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(pixelFor(c.color, c.format), c.pixel) << c.name;
}

}  // namespace
}  // namespace tollivane::platform::x11
