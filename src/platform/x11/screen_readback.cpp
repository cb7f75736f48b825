#include "platform/x11/screen_readback.hpp"

#include "platform/clock_look.hpp"

#include <X11/Xlib-xcb.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace tollivane::platform::x11 {
namespace {

// A clock's cells at any scale fit; a longer text makes the pixmap grow once.
constexpr int kFirstWidth = 256;
constexpr int kFirstHeight = 64;

// The colours of a ZPixmap of `width` x `rows` pixels in `depth`: the pixels themselves where
// they are colours already, else converted into `colours`.
const std::uint32_t* coloursOf(Display* display, int depth, const PixelFormat& format, char* pixels,
                               std::size_t bytes, int width, int rows, std::uint32_t* colours) {
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(rows);
  // Nearly every screen: 32 bits a pixel in this machine's byte order, already 0x..RRGGBB.
  // Taken as they are, since converting pixel by pixel costs a look some hundred times more.
  if (format.trueColor && format.redMask == 0xFF0000 && format.greenMask == 0xFF00 &&
      format.blueMask == 0xFF && bytes == count * 4 &&
      ImageByteOrder(display) ==
          (std::endian::native == std::endian::little ? LSBFirst : MSBFirst)) {
    return reinterpret_cast<const std::uint32_t*>(pixels);
  }
  XImage* image =
      XCreateImage(display, DefaultVisual(display, DefaultScreen(display)),
                   static_cast<unsigned>(depth), ZPixmap, 0, pixels, static_cast<unsigned>(width),
                   static_cast<unsigned>(rows), 8, static_cast<int>(bytes) / rows);
  if (!image) return nullptr;
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < width; ++x)
      colours[y * width + x] = colourOf(XGetPixel(image, x, y), format);
  }
  image->data = nullptr;  // the reply's, freed with it
  XDestroyImage(image);
  return colours;
}

}  // namespace

ScreenReadback::ScreenReadback(Display* display)
    : display_(display),
      xcb_(XGetXCBConnection(display)),
      root_(DefaultRootWindow(display)),
      depth_(DefaultDepth(display, DefaultScreen(display))),
      pen_(display) {
  expected_.text.reserve(32);
  XWindowAttributes screen{};
  if (XGetWindowAttributes(display_, root_, &screen)) format_ = formatOf(screen);
  white_ = pixelFor(0xFFFFFF, format_);
}

ScreenReadback::~ScreenReadback() {
  if (pixmap_) XFreePixmap(display_, pixmap_);
}

// A pixmap with two parts of at least `width` x `height` each.
void ScreenReadback::makeRoom(int width, int height) {
  if (pixmap_ && width <= width_ && 2 * height <= height_) return;
  if (pixmap_) XFreePixmap(display_, pixmap_);
  width_ = std::max(width, kFirstWidth);
  height_ = 2 * std::max(height, kFirstHeight);
  colours_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
  expected_.colours.reserve(colours_.size() / 2);
  pixmap_ = XCreatePixmap(display_, root_, static_cast<unsigned>(width_),
                          static_cast<unsigned>(height_), static_cast<unsigned>(depth_));
}

bool ScreenReadback::keeps(const platform::DrawnText& drawn, Font font, unsigned long ink, int x,
                           int baseline, int width, int height) const {
  const Expected& e = expected_;
  return e.width == width && e.height == height && e.x == x && e.baseline == baseline &&
         e.font == font && e.ink == ink && e.text == drawn.text;
}

platform::ClockSeen ScreenReadback::compare(const platform::DrawnText& drawn, const TextFont& font,
                                            const TextPlace& place, const ClientArea& area) {
  XFontStruct* metrics = font.metrics;
  if (!metrics || drawn.text.empty()) return platform::ClockSeen::Unknown;
  // The cells, in the window's coordinates, as far as the clip, the window and the screen hold.
  const int screenWidth = DisplayWidth(display_, DefaultScreen(display_));
  const int screenHeight = DisplayHeight(display_, DefaultScreen(display_));
  const int left = std::max({place.x, static_cast<int>(place.clip.x), 0, -area.x});
  const int top =
      std::max({place.baseline - metrics->ascent, static_cast<int>(place.clip.y), 0, -area.y});
  const int right = std::min(
      {place.x + place.width, place.clip.x + place.clip.width, area.width, screenWidth - area.x});
  const int bottom = std::min({place.baseline + metrics->descent, place.clip.y + place.clip.height,
                               area.height, screenHeight - area.y});
  if (right <= left || bottom <= top) return platform::ClockSeen::Unknown;
  const int width = right - left;
  const int height = bottom - top;
  const unsigned long text = pen_.pixelFor(drawn.color, format_);
  const int x = place.x - left;
  const int baseline = place.baseline - top;
  // The same text at the same place as the last look's: the screen alone, straight off the
  // root, whose picture with every window above it is what shows.
  const bool kept = keeps(drawn, font.id, text, x, baseline, width, height);
  xcb_drawable_t source = static_cast<xcb_drawable_t>(root_);
  std::int16_t sourceX = static_cast<std::int16_t>(area.x + left);
  std::int16_t sourceY = static_cast<std::int16_t>(area.y + top);
  int rows = height;
  if (!kept) {
    makeRoom(width, height);
    expected_.width = 0;
    // The text afresh below, its cells white; what spills over above is overwritten by the
    // screen's part next.
    pen_.draw(
        {pixmap_, depth_, font, text, white_, std::nullopt, x, height + baseline, drawn.text});
    xcb_copy_area(xcb_, source, static_cast<xcb_drawable_t>(pixmap_),
                  static_cast<xcb_gcontext_t>(XGContextFromGC(pen_.plainGc(depth_))), sourceX,
                  sourceY, 0, 0, static_cast<std::uint16_t>(width),
                  static_cast<std::uint16_t>(height));
    source = static_cast<xcb_drawable_t>(pixmap_);
    sourceX = sourceY = 0;
    rows = 2 * height;
  }
  // Through XCB: Xlib's XGetImage would look for the visual of a pixmap, which has none,
  // through every visual of the screen, and copy the reply once more. An error comes back in
  // place of the reply.
  xcb_generic_error_t* error = nullptr;
  xcb_get_image_reply_t* reply = xcb_get_image_reply(
      xcb_,
      xcb_get_image(xcb_, XCB_IMAGE_FORMAT_Z_PIXMAP, source, sourceX, sourceY,
                    static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(rows), ~0U),
      &error);
  std::free(error);
  platform::ClockSeen seen = platform::ClockSeen::Unknown;
  if (reply) {
    const std::uint32_t* colours = coloursOf(
        display_, depth_, format_, reinterpret_cast<char*>(xcb_get_image_data(reply)),
        static_cast<std::size_t>(xcb_get_image_data_length(reply)), width, rows, colours_.data());
    if (colours && !kept) {
      const std::size_t half = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
      expected_.colours.assign(colours + half, colours + 2 * half);
      expected_.text.assign(drawn.text);
      expected_.font = font.id;
      expected_.ink = text;
      expected_.x = x;
      expected_.baseline = baseline;
      expected_.width = width;
      expected_.height = height;
    }
    if (colours) {
      seen = platform::compareClock({{expected_.colours.data(), width, height, width},
                                     colourOf(text, format_),
                                     colourOf(white_, format_)},
                                    {colours, width, height, width});
    }
  }
  std::free(reply);
  return seen;
}

}  // namespace tollivane::platform::x11
