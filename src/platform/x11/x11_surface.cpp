#include "platform/x11/x11_surface.hpp"

#include <X11/Xlib-xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/x11/x11_errors.hpp"

namespace tollivane::platform::x11 {
namespace {

// No pixel of a window lies at a negative coordinate.
std::optional<XRectangle> visiblePart(const platform::Rect& rect) {
  const std::int64_t left = std::max<std::int64_t>(rect.Left, 0);
  const std::int64_t top = std::max<std::int64_t>(rect.Top, 0);
  const std::int64_t right = std::min<std::int64_t>(rect.Right, kMaxCoordinate);
  const std::int64_t bottom = std::min<std::int64_t>(rect.Bottom, kMaxCoordinate);
  if (right <= left || bottom <= top) return std::nullopt;
  return XRectangle{static_cast<short>(left), static_cast<short>(top),
                    static_cast<unsigned short>(right - left),
                    static_cast<unsigned short>(bottom - top)};
}

bool sameRectangle(const XRectangle& a, const XRectangle& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

}  // namespace

X11Surface::X11Surface(Display* display, WindowEventMasks& masks, std::function<void()> drainEvents,
                       bool underWayland)
    : display_(display),
      masks_(masks),
      drainEvents_(std::move(drainEvents)),
      root_(DefaultRootWindow(display)),
      underWayland_(underWayland),
      xcb_(XGetXCBConnection(display)),
      front_(display, masks, underWayland),
      fonts_(display),
      followed_(display, masks),
      readback_(display) {
  lastCharacters_.reserve(32);
}

X11Surface::~X11Surface() {
  for (Pens& pens : pens_) {
    if (pens.text.gc) XFreeGC(display_, pens.text.gc);
    if (pens.sized.gc) XFreeGC(display_, pens.sized.gc);
  }
}

platform::WindowHandle X11Surface::GetForegroundWindow() {
  if (QLength(display_) > 0) drainEvents_();
  return front_.current();
}

void X11Surface::windowGone(platform::WindowHandle window) {
  front_.windowGone(static_cast<Window>(window));
}

// The visual of the target, asked once per foreground window and again after an error.
bool X11Surface::describe(Drawable target) {
  if (target == described_ && trappedErrorCount(display_) == errorsWhenDescribed_) return true;
  described_ = 0;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display_, target, &attributes)) return false;
  describedFormat_ = formatOf(attributes);
  describedBlack_ = pixelFor(0x000000, describedFormat_);
  describedWhite_ = pixelFor(0xFFFFFF, describedFormat_);
  describedDepth_ = attributes.depth;
  described_ = target;
  errorsWhenDescribed_ = trappedErrorCount(display_);
  return true;
}

// Made on the root, or on a pixmap of the depth, never on the target: a GC made on a window
// destroyed meanwhile would fail every frame after.
X11Surface::Pens* X11Surface::pensFor(int depth) {
  for (Pens& pens : pens_) {
    if (pens.text.gc && pens.depth == depth) return &pens;
  }
  Pens* pens = std::find_if(pens_.begin(), pens_.end(), [](const Pens& p) { return !p.text.gc; });
  if (pens == pens_.end()) {
    // More depths than sets: a set no context holds makes room.
    pens = std::find_if(pens_.begin(), pens_.end(), [&](const Pens& p) {
      return std::none_of(contexts_.begin(), contexts_.end(),
                          [&](const Context& c) { return c.pens == &p; });
    });
    if (pens == pens_.end()) return nullptr;
    XFreeGC(display_, pens->text.gc);
    if (pens->sized.gc) XFreeGC(display_, pens->sized.gc);
    *pens = Pens{};
  }
  const int screen = DefaultScreen(display_);
  Pixmap pixmap = 0;
  Drawable on = root_;
  if (depth != DefaultDepth(display_, screen))
    on = pixmap = XCreatePixmap(display_, root_, 1, 1, static_cast<unsigned>(depth));
  XGCValues values{};
  values.foreground = describedBlack_;
  values.background = describedWhite_;
  // Over child windows too: a game often renders into a child of its top-level window.
  values.subwindow_mode = IncludeInferiors;
  values.graphics_exposures = False;
  const unsigned long mask = GCForeground | GCBackground | GCSubwindowMode | GCGraphicsExposures;
  *pens = Pens{
      depth,
      TextPen{XCreateGC(display_, on, mask, &values), values.foreground, values.background, {}, 0},
      TextPen{}};
  // The other font's pen is made the same way, when first needed.
  pens->sized = pens->text;
  pens->sized.gc = nullptr;
  if (pixmap) XFreePixmap(display_, pixmap);
  return pens;
}

platform::DeviceContext X11Surface::GetDC(platform::WindowHandle window) {
  const Drawable target = window ? static_cast<Drawable>(window) : root_;
  auto free =
      std::find_if(contexts_.begin(), contexts_.end(), [](const Context& c) { return !c.pens; });
  if (free == contexts_.end()) return 0;
  if (!describe(target)) {
    windowGone(window);
    return 0;
  }
  Pens* pens = pensFor(describedDepth_);
  if (!pens) return 0;
  *free = Context{pens, target, describedFormat_, 0x000000, describedBlack_, describedWhite_, 0};
  return static_cast<platform::DeviceContext>(free - contexts_.begin()) + 1;
}

X11Surface::Context* X11Surface::find(platform::DeviceContext dc) {
  if (dc == 0 || dc > contexts_.size() || !contexts_[dc - 1].pens) return nullptr;
  return &contexts_[dc - 1];
}

void X11Surface::ReleaseDC(platform::WindowHandle, platform::DeviceContext dc) {
  Context* context = find(dc);
  if (!context) return;
  *context = Context{};
  // A flush, never a sync: a frame must never wait for a round trip to the server. XFlush also
  // tries to read the socket, a system call that a frame need not make; after a request sent
  // through XCB, Xlib's own requests have gone to XCB as well, and XCB's flush sends them all.
  if (sentThroughXcb_) {
    xcb_flush(xcb_);
  } else {
    XFlush(display_);
  }
  sentThroughXcb_ = false;
}

void X11Surface::SetTextColor(platform::DeviceContext dc, platform::ColorRef color) {
  Context* context = find(dc);
  if (!context) return;
  context->textColor = color;
  context->textPixel = pixels_.pixelFor(color, context->format);
}

void X11Surface::FillRect(platform::DeviceContext, const platform::Rect&, platform::BrushHandle) {}

// The pen for `font` in the context's colours and `clip`, each set only when it changed.
GC X11Surface::textPenFor(Context& context, const TextFont& font, const XRectangle& clip) {
  Pens& pens = *context.pens;
  TextPen& pen = font.id == 0 ? pens.text : pens.sized;
  if (!pen.gc) {
    Pixmap pixmap = 0;
    Drawable on = root_;
    if (pens.depth != DefaultDepth(display_, DefaultScreen(display_))) {
      on = pixmap = XCreatePixmap(display_, root_, 1, 1, static_cast<unsigned>(pens.depth));
    }
    XGCValues values{};
    values.foreground = pen.textPixel;
    values.background = pen.cellPixel;
    values.subwindow_mode = IncludeInferiors;
    values.graphics_exposures = False;
    pen.gc = XCreateGC(
        display_, on, GCForeground | GCBackground | GCSubwindowMode | GCGraphicsExposures, &values);
    if (pixmap) XFreePixmap(display_, pixmap);
  }
  bool changed = false;
  if (pen.font != font.id) {
    XSetFont(display_, pen.gc, pen.font = font.id);
    changed = true;
  }
  if (pen.textPixel != context.textPixel || pen.cellPixel != context.cellPixel) {
    XSetForeground(display_, pen.gc, pen.textPixel = context.textPixel);
    XSetBackground(display_, pen.gc, pen.cellPixel = context.cellPixel);
    changed = true;
  }
  if (changed) XFlushGC(display_, pen.gc);  // XCB's request would not send Xlib's cached change
  if (!sameRectangle(pen.clip, clip)) {
    XSetClipRectangles(display_, pen.gc, 0, 0, const_cast<XRectangle*>(&clip), 1, Unsorted);
    pen.clip = clip;
  }
  return pen.gc;
}

void X11Surface::DrawTextA(platform::DeviceContext dc, const char* text, int count,
                           const platform::Rect& rect, unsigned format) {
  Context* context = find(dc);
  std::optional<XRectangle> clip = visiblePart(rect);
  if (!context || !text || !clip) return;
  const auto clamped = [](std::int64_t size) {
    return static_cast<int>(std::min<std::int64_t>(size, kMaxCoordinate));
  };
  const TextFont font = fonts_.forText(context->textHeight,
                                       clamped(static_cast<std::int64_t>(rect.Bottom) - rect.Top),
                                       clamped(static_cast<std::int64_t>(rect.Right) - rect.Left));
  if (!font.metrics) return;
  if (count < 0) count = static_cast<int>(std::strlen(text));

  const std::int64_t width = static_cast<std::int64_t>(rect.Right) - rect.Left;
  std::int64_t x = rect.Left;
  const int textWidth = widths_.of(font.metrics, font.id, text, count);
  if (format & platform::kDtCenter) x += (width - textWidth) / 2;
  const std::int64_t baseline = static_cast<std::int64_t>(rect.Top) + font.metrics->ascent;
  if (baseline < kMinCoordinate || baseline > kMaxCoordinate) return;
  // Characters left of the smallest coordinate are cut off anyway; drop them before they wrap.
  int dropped = 0;
  while (count > 0 && x < kMinCoordinate) {
    dropped += XTextWidth(font.metrics, text, 1);
    x += XTextWidth(font.metrics, text, 1);
    ++text;
    --count;
  }
  if (count == 0 || x > kMaxCoordinate) return;

  GC pen = textPenFor(*context, font, *clip);
  // The same text ten frames in a row: compared, it need not be copied.
  if (const std::string_view drawn(text, static_cast<std::size_t>(count));
      lastCharacters_ != drawn) {
    lastCharacters_.assign(drawn);
  }
  lastText_ = {
      context->drawable == root_ ? 0 : static_cast<platform::WindowHandle>(context->drawable), rect,
      lastCharacters_, format, context->textColor};
  lastFont_ = font;
  lastPlace_ = {textWidth - dropped, static_cast<int>(x), static_cast<int>(baseline), *clip};
  drawnSinceLook_ = true;
  if (count > 255) {  // more than one request holds: Xlib splits it
    XDrawImageString(display_, context->drawable, pen, static_cast<int>(x),
                     static_cast<int>(baseline), text, count);
    return;
  }
  xcb_image_text_8(xcb_, static_cast<std::uint8_t>(count),
                   static_cast<xcb_drawable_t>(context->drawable),
                   static_cast<xcb_gcontext_t>(XGContextFromGC(pen)), static_cast<std::int16_t>(x),
                   static_cast<std::int16_t>(baseline), text);
  sentThroughXcb_ = true;
}

void X11Surface::setTextHeight(platform::DeviceContext dc, int pixels) {
  Context* context = find(dc);
  if (context) context->textHeight = std::max(0, pixels);
}

std::optional<platform::Size> X11Surface::clientSize(platform::WindowHandle window) {
  const std::optional<ClientArea> area = followed_.where(static_cast<Window>(window));
  if (!area) {
    windowGone(window);
    return std::nullopt;
  }
  return platform::Size{area->width, area->height};
}

// The screen where the latest text went, as the user sees it: the window's client area is
// found on the root, whose picture with every window above it is what shows.
platform::ClockSeen X11Surface::lookAtLastClock() {
  if (!drawnSinceLook_) return platform::ClockSeen::Unknown;
  drawnSinceLook_ = false;
  const auto target = static_cast<Window>(lastText_.window);
  const std::optional<ClientArea> area = followed_.where(target);
  if (!area) {
    windowGone(target);
    return platform::ClockSeen::Unknown;
  }
  if (!followed_.mapped()) return platform::ClockSeen::Unknown;
  return readback_.compare(lastText_, lastFont_, lastPlace_, *area);
}

void X11Surface::onStructureEvent(const XEvent& event) {
  if (const Window gone = followed_.onEvent(event)) windowGone(gone);
}

void X11Surface::DeleteObject(platform::BrushHandle) {}

}  // namespace tollivane::platform::x11
