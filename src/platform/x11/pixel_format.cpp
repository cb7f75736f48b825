#include "platform/x11/pixel_format.hpp"

#include <bit>

namespace tollivane::platform::x11 {
namespace {

unsigned long scaled(unsigned component, unsigned long mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const unsigned long top = mask >> shift;
  return ((component * top + 127) / 255) << shift;
}

std::uint32_t component(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const unsigned long top = mask >> shift;
  return static_cast<std::uint32_t>((((pixel & mask) >> shift) * 255 + top / 2) / top);
}

}  // namespace

PixelFormat PixelFormat::fromMasks(unsigned long red, unsigned long green, unsigned long blue,
                                   int depth) {
  PixelFormat format;
  format.trueColor = true;
  format.redMask = red;
  format.greenMask = green;
  format.blueMask = blue;
  const unsigned long all = depth >= 32 ? 0xFFFFFFFFul : (1ul << depth) - 1;
  format.otherBits = all & ~(red | green | blue);
  format.black = format.otherBits;
  format.white = all;
  return format;
}

PixelFormat formatOf(const XWindowAttributes& attributes) {
  const Visual* visual = attributes.visual;
  if (visual && (visual->c_class == TrueColor || visual->c_class == DirectColor)) {
    return PixelFormat::fromMasks(visual->red_mask, visual->green_mask, visual->blue_mask,
                                  attributes.depth);
  }
  PixelFormat format;
  format.black = BlackPixelOfScreen(attributes.screen);
  format.white = WhitePixelOfScreen(attributes.screen);
  return format;
}

unsigned long pixelFor(platform::ColorRef color, const PixelFormat& format) {
  const unsigned r = color & 0xFF;
  const unsigned g = (color >> 8) & 0xFF;
  const unsigned b = (color >> 16) & 0xFF;
  if (!format.trueColor) {
    return r * 299 + g * 587 + b * 114 >= 128 * 1000 ? format.white : format.black;
  }
  return scaled(r, format.redMask) | scaled(g, format.greenMask) | scaled(b, format.blueMask) |
         format.otherBits;
}

std::uint32_t colourOf(unsigned long pixel, const PixelFormat& format) {
  if (!format.trueColor) return pixel == format.white ? 0xFFFFFF : 0x000000;
  return component(pixel, format.redMask) << 16 | component(pixel, format.greenMask) << 8 |
         component(pixel, format.blueMask);
}

}  // namespace tollivane::platform::x11
