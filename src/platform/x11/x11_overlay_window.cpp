#include "platform/x11/x11_overlay_window.hpp"

#include <X11/extensions/shape.h>

#include <algorithm>
#include <cstdint>

#include "platform/x11/x11_surface.hpp"

namespace tollivane::platform::x11 {
namespace {

template <typename Drawing>
bool sameDrawing(const Drawing& a, const Drawing& b) {
  return a.textPixel == b.textPixel && a.font == b.font && a.text == b.text && a.textX == b.textX;
}

}  // namespace

X11OverlayWindow::X11OverlayWindow(Display* display, X11Surface& direct)
    : OwnWindow(direct),
      display_(display),
      direct_(direct),
      root_(DefaultRootWindow(display)),
      pen_(display) {
  // The clock's text fits: frames allocate nothing.
  next_.text.reserve(32);
  shown_.text.reserve(32);
}

X11OverlayWindow::~X11OverlayWindow() {
  if (window_) XDestroyWindow(display_, window_);
}

bool X11OverlayWindow::create() {
  if (window_) return true;
  XWindowAttributes screen;
  if (!XGetWindowAttributes(display_, root_, &screen)) return false;
  depth_ = screen.depth;
  format_ = formatOf(screen);
  white_ = pixelFor(0xFFFFFF, format_);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixmap = 0;  // None: nothing painted but what we draw
  attributes.border_pixel = 0;
  attributes.event_mask = ExposureMask | VisibilityChangeMask;
  window_ =
      XCreateWindow(display_, root_, 0, 0, 1, 1, 0, CopyFromParent, InputOutput, CopyFromParent,
                    CWOverrideRedirect | CWBackPixmap | CWBorderPixel | CWEventMask, &attributes);
  geometry_ = {0, 0, 1, 1};
  // No input region: clicks and the pointer go to whatever lies below.
  XShapeCombineRectangles(display_, window_, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
  XShapeCombineRectangles(display_, window_, ShapeBounding, 0, 0, nullptr, 0, ShapeSet, Unsorted);
  return true;
}

platform::DeviceContext X11OverlayWindow::GetDC(platform::WindowHandle window) {
  if (!create()) return 0;
  const Window target = window == window_ || window == root_ ? 0 : static_cast<Window>(window);
  FollowedWindow& followed = direct_.followed();
  const std::optional<ClientArea> area = followed.where(target, false);
  if (!area) {
    // Gone before we could ask: this frame is lost, and the next asks which window is in front.
    direct_.windowGone(target);
    hide();
    return 0;
  }
  if (!followed.mapped()) {
    hide();
    return 0;
  }
  originX_ = area->x;
  originY_ = area->y;
  return beginFrame();
}

// Moves and sizes the window over the text's rectangle, in the target's client coordinates;
// false when it cannot stand there.
bool X11OverlayWindow::place(const platform::Rect& rect) {
  const std::int64_t width = static_cast<std::int64_t>(rect.Right) - rect.Left;
  const std::int64_t height = static_cast<std::int64_t>(rect.Bottom) - rect.Top;
  const std::int64_t x = static_cast<std::int64_t>(originX_) + rect.Left;
  const std::int64_t y = static_cast<std::int64_t>(originY_) + rect.Top;
  if (width <= 0 || height <= 0 || width > kMaxSize || height > kMaxSize) return false;
  if (x < kMinCoordinate || x > kMaxCoordinate || y < kMinCoordinate || y > kMaxCoordinate) {
    return false;
  }
  const XRectangle wanted{static_cast<short>(x), static_cast<short>(y),
                          static_cast<unsigned short>(width), static_cast<unsigned short>(height)};
  if (sameRectangle(wanted, geometry_)) return true;
  if (wanted.width == geometry_.width && wanted.height == geometry_.height) {
    XMoveWindow(display_, window_, wanted.x, wanted.y);
  } else {
    XMoveResizeWindow(display_, window_, wanted.x, wanted.y, wanted.width, wanted.height);
    needsPaint_ = true;
  }
  geometry_ = wanted;
  return true;
}

// Where the text goes in the window, and the window's shape: the text's character cells, as
// much of them as the window holds.
void X11OverlayWindow::layOut(const Frame& frame) {
  next_.textPixel = pen_.pixelFor(frame.color, format_);
  next_.text.assign(frame.text);
  const TextLayout layout =
      pen_.layOut(direct_.fonts(), frame.textHeight, {0, 0, geometry_.width, geometry_.height},
                  next_.text, frame.centred);
  next_.font = layout.font;
  next_.textX = static_cast<int>(layout.x);
  XRectangle shape{};
  int parts = 0;
  if (const XFontStruct* font = layout.font.metrics; font && !next_.text.empty()) {
    shape = intersection(std::max<std::int64_t>(layout.x, kMinCoordinate), 0,
                         std::min<std::int64_t>(layout.width, kMaxSize),
                         font->ascent + font->descent, {0, 0, geometry_.width, geometry_.height});
    if (shape.width > 0) parts = 1;
  }
  if (parts == shapeParts_ && (parts == 0 || sameRectangle(shape, shape_))) return;
  XShapeCombineRectangles(display_, window_, ShapeBounding, 0, 0, &shape, parts, ShapeSet,
                          Unsorted);
  shape_ = shape;
  shapeParts_ = parts;
  needsPaint_ = true;
}

void X11OverlayWindow::paint() {
  if (!mapped_ || !shown_.font.metrics || shown_.text.empty()) return;
  pen_.draw({window_, depth_, shown_.font, shown_.textPixel, white_, std::nullopt, shown_.textX,
             shown_.font.metrics->ascent, shown_.text});
}

void X11OverlayWindow::ReleaseDC(platform::WindowHandle, platform::DeviceContext dc) {
  const Frame* frame = endFrame(dc);
  if (!frame) return;
  if (!frame->drew || !place(frame->rect)) {
    hide();
    return;
  }
  layOut(*frame);
  if (!mapped_) {
    XMapRaised(display_, window_);
    mapped_ = true;
    covered_ = false;
    needsPaint_ = true;
  } else if (covered_) {
    XRaiseWindow(display_, window_);
    covered_ = false;
    // What was covered is lost (no background, no backing store): drawn now, not a round
    // trip later when the exposure comes back.
    needsPaint_ = true;
  }
  if (needsPaint_ || !sameDrawing(next_, shown_)) {
    shown_ = next_;
    needsPaint_ = false;
    paint();
  }
  pen_.flush();
}

void X11OverlayWindow::hide() {
  if (!mapped_) return;
  XUnmapWindow(display_, window_);
  mapped_ = false;
  XFlush(display_);
}

void X11OverlayWindow::onEvent(const XEvent& event) {
  switch (event.type) {
    case Expose:
      if (event.xexpose.window == window_ && event.xexpose.count == 0) {
        paint();
        pen_.flush();
      }
      break;
    case VisibilityNotify:
      if (event.xvisibility.window == window_) {
        covered_ = event.xvisibility.state != VisibilityUnobscured;
      }
      break;
    case UnmapNotify:
    case DestroyNotify:
      if (event.xany.window == direct_.followed().window()) hide();
      break;
    default:
      break;
  }
}

}  // namespace tollivane::platform::x11
