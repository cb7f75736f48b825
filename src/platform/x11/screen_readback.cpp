#include "platform/x11/screen_readback.hpp"

#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>

#include "platform/x11/x11_errors.hpp"

namespace tollivane::platform::x11 {
namespace {

// A clock's cells at any scale fit; a longer text makes the pixmap grow once.
constexpr int kFirstWidth = 256;
constexpr int kFirstHeight = 64;

}  // namespace

ScreenReadback::ScreenReadback(Display* display)
    : display_(display),
      root_(DefaultRootWindow(display)),
      depth_(DefaultDepth(display, DefaultScreen(display))) {
  XWindowAttributes screen{};
  if (XGetWindowAttributes(display_, root_, &screen)) format_ = formatOf(screen);
}

ScreenReadback::~ScreenReadback() {
  if (image_) XDestroyImage(image_);
  if (plain_) XFreeGC(display_, plain_);
  if (sized_) XFreeGC(display_, sized_);
  if (pixmap_) XFreePixmap(display_, pixmap_);
}

// A pixmap with two parts of at least `width` x `height` each, and an image to fetch it into.
bool ScreenReadback::makeRoom(int width, int height) {
  if (pixmap_ && width <= width_ && 2 * height <= height_) return true;
  if (image_) XDestroyImage(image_);
  image_ = nullptr;
  if (plain_) XFreeGC(display_, plain_);
  if (sized_) XFreeGC(display_, sized_);
  plain_ = sized_ = nullptr;
  sizedFont_ = 0;
  if (pixmap_) XFreePixmap(display_, pixmap_);
  width_ = std::max(width, kFirstWidth);
  height_ = 2 * std::max(height, kFirstHeight);
  pixmap_ = XCreatePixmap(display_, root_, static_cast<unsigned>(width_),
                          static_cast<unsigned>(height_), static_cast<unsigned>(depth_));
  XGCValues values{};
  // What the screen shows, child windows and windows above included.
  values.subwindow_mode = IncludeInferiors;
  values.graphics_exposures = False;
  plain_ = XCreateGC(display_, pixmap_, GCSubwindowMode | GCGraphicsExposures, &values);
  Visual* visual = DefaultVisual(display_, DefaultScreen(display_));
  const int bitmapPad = BitmapPad(display_);
  image_ =
      XCreateImage(display_, visual, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                   static_cast<unsigned>(width_), static_cast<unsigned>(height_), bitmapPad, 0);
  if (image_) {
    image_->data =
        static_cast<char*>(std::calloc(static_cast<std::size_t>(image_->bytes_per_line), height_));
    if (!image_->data) {
      XDestroyImage(image_);
      image_ = nullptr;
    }
  }
  return image_ != nullptr;
}

GC ScreenReadback::penFor(const TextFont& font) {
  if (font.id == 0) return plain_;
  if (!sized_) {
    XGCValues values{};
    values.graphics_exposures = False;
    sized_ = XCreateGC(display_, pixmap_, GCGraphicsExposures, &values);
  }
  if (sizedFont_ != font.id) XSetFont(display_, sized_, sizedFont_ = font.id);
  return sized_;
}

platform::ClockSeen ScreenReadback::compare(const DrawnText& drawn, const ClientArea& area) {
  XFontStruct* metrics = drawn.font.metrics;
  if (!metrics || drawn.text.empty()) return platform::ClockSeen::Unknown;
  // The cells, in the window's coordinates, as far as the clip, the window and the screen hold.
  const int screenWidth = DisplayWidth(display_, DefaultScreen(display_));
  const int screenHeight = DisplayHeight(display_, DefaultScreen(display_));
  const int left = std::max({drawn.x, static_cast<int>(drawn.clip.x), 0, -area.x});
  const int top =
      std::max({drawn.baseline - metrics->ascent, static_cast<int>(drawn.clip.y), 0, -area.y});
  const int right = std::min(
      {drawn.x + drawn.width, drawn.clip.x + drawn.clip.width, area.width, screenWidth - area.x});
  const int bottom = std::min({drawn.baseline + metrics->descent, drawn.clip.y + drawn.clip.height,
                               area.height, screenHeight - area.y});
  if (right <= left || bottom <= top) return platform::ClockSeen::Unknown;
  const int width = right - left;
  const int height = bottom - top;
  if (!makeRoom(width, height)) return platform::ClockSeen::Unknown;

  const unsigned long errors = trappedErrorCount(display_);
  // The text afresh below; what spills over above is overwritten by the screen's part next.
  GC pen = penFor(drawn.font);
  XSetForeground(display_, pen, pixelFor(drawn.color, format_));
  XSetBackground(display_, pen, pixelFor(0xFFFFFF, format_));
  XDrawImageString(display_, pixmap_, pen, drawn.x - left, height + drawn.baseline - top,
                   drawn.text.data(), static_cast<int>(drawn.text.size()));
  XCopyArea(display_, root_, pixmap_, plain_, area.x + left, area.y + top,
            static_cast<unsigned>(width), static_cast<unsigned>(height), 0, 0);
  if (!XGetSubImage(display_, pixmap_, 0, 0, static_cast<unsigned>(width),
                    static_cast<unsigned>(2 * height), AllPlanes, ZPixmap, image_, 0, 0) ||
      trappedErrorCount(display_) != errors) {
    return platform::ClockSeen::Unknown;
  }
  const unsigned long significant =
      depth_ >= static_cast<int>(8 * sizeof(unsigned long)) ? ~0UL : (1UL << depth_) - 1;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (((XGetPixel(image_, x, y) ^ XGetPixel(image_, x, y + height)) & significant) != 0) {
        return platform::ClockSeen::PaintedOver;
      }
    }
  }
  return platform::ClockSeen::Shown;
}

}  // namespace tollivane::platform::x11
