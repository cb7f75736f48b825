// Turning the 0x00BBGGRR colours of the logic into pixel values of a window's visual.
#pragma once

#include <cstdint>

#include "platform/platform.hpp"

#include <X11/Xlib.h>

namespace tollivane::platform::x11 {

struct PixelFormat {
  bool trueColor = false;  // TrueColor or DirectColor: pixels built from the masks
  unsigned long redMask = 0;
  unsigned long greenMask = 0;
  unsigned long blueMask = 0;
  // Bits of the pixel outside the colour masks (alpha of a 32-bit visual): set, so that
  // what we draw is opaque.
  unsigned long otherBits = 0;
  unsigned long black = 0;  // used when the visual has no masks
  unsigned long white = 1;

  static PixelFormat fromMasks(unsigned long red, unsigned long green, unsigned long blue,
                               int depth);
  friend bool operator==(const PixelFormat&, const PixelFormat&) = default;
};

// The format of a window's visual, from its attributes.
PixelFormat formatOf(const XWindowAttributes& attributes);

unsigned long pixelFor(platform::ColorRef color, const PixelFormat& format);
// The colour of a pixel as 0xRRGGBB; without masks, anything but white is black.
std::uint32_t colourOf(unsigned long pixel, const PixelFormat& format);

// The pixel of the colour last asked for, kept: a running clock asks for the same one in the
// same format ten times a second.
class PixelCache {
 public:
  unsigned long pixelFor(platform::ColorRef color, const PixelFormat& format) {
    if (!known_ || color != color_ || !(format == format_)) {
      pixel_ = x11::pixelFor(color, format);
      color_ = color;
      format_ = format;
      known_ = true;
    }
    return pixel_;
  }

 private:
  bool known_ = false;
  platform::ColorRef color_ = 0;
  PixelFormat format_;
  unsigned long pixel_ = 0;
};

}  // namespace tollivane::platform::x11
