#include "platform/x11/gamescope_overlay.hpp"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <cstdint>

namespace tollivane::platform::x11 {
namespace {

bool sameDrawing(const auto& a, const auto& b) {
  return a.pixel == b.pixel && a.font == b.font && a.text == b.text &&
         sameRectangle(a.clip, b.clip) && a.x == b.x && a.baseline == b.baseline;
}

}  // namespace

GamescopeOverlay::GamescopeOverlay(Display* display, platform::ForegroundSurface& front,
                                   bool hearsEvents)
    : OwnWindow(front),
      display_(display),
      root_(DefaultRootWindow(display)),
      hearsEvents_(hearsEvents),
      fonts_(display),
      pen_(display) {
  next_.text.reserve(32);
  shown_.text.reserve(32);
}

GamescopeOverlay::~GamescopeOverlay() {
  if (window_) XDestroyWindow(display_, window_);
  if (colormap_) XFreeColormap(display_, colormap_);
}

bool GamescopeOverlay::create() {
  if (window_) return true;
  if (failed_) return false;
  XWindowAttributes screen;
  XVisualInfo visual{};
  // Only a visual with alpha lets the game show through everywhere but the text.
  if (!XGetWindowAttributes(display_, root_, &screen) ||
      !XMatchVisualInfo(display_, DefaultScreen(display_), 32, TrueColor, &visual)) {
    failed_ = true;
    return false;
  }
  format_ = PixelFormat::fromMasks(visual.red_mask, visual.green_mask, visual.blue_mask, 32);
  colormap_ = XCreateColormap(display_, root_, visual.visual, AllocNone);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = 0;  // every channel 0: fully transparent
  attributes.border_pixel = 0;
  attributes.colormap = colormap_;
  attributes.event_mask = hearsEvents_ ? ExposureMask : NoEventMask;
  window_ = XCreateWindow(
      display_, root_, 0, 0, static_cast<unsigned>(screen.width),
      static_cast<unsigned>(screen.height), 0, 32, InputOutput, visual.visual,
      CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &attributes);
  // No input region: touches and the pointer go to the game below.
  int shapeEvents = 0;
  int shapeErrors = 0;
  if (XShapeQueryExtension(display_, &shapeEvents, &shapeErrors)) {
    XShapeCombineRectangles(display_, window_, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
  }
  XWMHints hints{};
  hints.flags = InputHint;
  hints.input = False;
  XSetWMHints(display_, window_, &hints);
  XStoreName(display_, window_, "Tollivane clock");
  overlayAtom_ = XInternAtom(display_, "GAMESCOPE_EXTERNAL_OVERLAY", False);
  return true;
}

void GamescopeOverlay::setOverlay(long value) {
  XChangeProperty(display_, window_, overlayAtom_, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&value), 1);
}

platform::DeviceContext GamescopeOverlay::GetDC(platform::WindowHandle) {
  return create() ? beginFrame() : 0;
}

// Where the frame's text goes on the screen, clipped to its rectangle as on the window in front.
void GamescopeOverlay::layOut(const Frame& frame) {
  const XRectangle screen{0, 0,
                          static_cast<unsigned short>(std::min<std::int64_t>(
                              DisplayWidth(display_, DefaultScreen(display_)), kMaxSize)),
                          static_cast<unsigned short>(std::min<std::int64_t>(
                              DisplayHeight(display_, DefaultScreen(display_)), kMaxSize))};
  const platform::Rect& rect = frame.rect;
  next_.clip = intersection(rect.Left, rect.Top, std::int64_t{rect.Right} - rect.Left,
                            std::int64_t{rect.Bottom} - rect.Top, screen);
  next_.pixel = pen_.pixelFor(frame.color, format_);
  next_.text.assign(frame.text);
  const TextLayout layout = pen_.layOut(fonts_, frame.textHeight, rect, next_.text, frame.centred);
  next_.font = layout.font;
  next_.width = layout.width;
  next_.x = static_cast<int>(std::clamp(layout.x, kMinCoordinate, kMaxCoordinate));
  next_.baseline = static_cast<int>(std::clamp(layout.baseline, kMinCoordinate, kMaxCoordinate));
}

void GamescopeOverlay::paint() {
  const XFontStruct* metrics = shown_.font.metrics;
  if (!mapped_ || !metrics || shown_.text.empty() || shown_.clip.width == 0) return;
  // Only the glyphs: around them every pixel keeps alpha 0.
  pen_.draw({window_, 32, shown_.font, shown_.pixel, std::nullopt, shown_.clip, shown_.x,
             shown_.baseline, shown_.text});
  // The cells, widened by the font's overhangs, so that clearing them leaves nothing behind.
  const std::int64_t overhang = std::max<std::int64_t>(
      0, std::max<std::int64_t>(metrics->max_bounds.rbearing - metrics->max_bounds.width,
                                -metrics->min_bounds.lbearing));
  shownBox_ =
      intersection(shown_.x - overhang, shown_.baseline - metrics->ascent,
                   shown_.width + 2 * overhang, metrics->ascent + metrics->descent, shown_.clip);
}

void GamescopeOverlay::ReleaseDC(platform::WindowHandle, platform::DeviceContext dc) {
  const Frame* frame = endFrame(dc);
  if (!frame) return;
  if (!frame->drew) {
    hide();
    return;
  }
  layOut(*frame);
  if (!mapped_) {
    // Gamescope reads the property when the window maps: it is there first.
    setOverlay(1);
    XMapRaised(display_, window_);
    mapped_ = true;
    shownBox_ = {};
  } else if (sameDrawing(next_, shown_)) {
    return;
  }
  if (shownBox_.width > 0) {
    XClearArea(display_, window_, shownBox_.x, shownBox_.y, shownBox_.width, shownBox_.height,
               False);
    shownBox_ = {};
  }
  shown_ = next_;
  paint();
  pen_.flush();
}

void GamescopeOverlay::hide() {
  if (!mapped_) return;
  // Another program's overlay may have the one slot while ours is off the screen.
  setOverlay(0);
  XUnmapWindow(display_, window_);
  mapped_ = false;
  shownBox_ = {};
  XFlush(display_);
}

void GamescopeOverlay::onEvent(const XEvent& event) {
  if (event.type == Expose && window_ != 0 && event.xexpose.window == window_ &&
      event.xexpose.count == 0) {
    paint();
    pen_.flush();
  }
}

}  // namespace tollivane::platform::x11
