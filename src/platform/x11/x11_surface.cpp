#include "platform/x11/x11_surface.hpp"

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
constexpr XRectangle kVisible{0, 0, kMaxCoordinate, kMaxCoordinate};

}  // namespace

X11Surface::X11Surface(Display* display, WindowEventMasks& masks, std::function<void()> drainEvents,
                       bool underWayland)
    : display_(display),
      masks_(masks),
      drainEvents_(std::move(drainEvents)),
      root_(DefaultRootWindow(display)),
      underWayland_(underWayland),
      front_(display, masks, underWayland),
      fonts_(display),
      followed_(display, masks),
      pen_(display),
      readback_(display) {
  lastCharacters_.reserve(32);
  laidOut_.text.reserve(32);
}

X11Surface::~X11Surface() = default;

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

platform::DeviceContext X11Surface::GetDC(platform::WindowHandle window) {
  const Drawable target = window ? static_cast<Drawable>(window) : root_;
  auto free = std::find_if(contexts_.begin(), contexts_.end(),
                           [](const Context& c) { return c.drawable == 0; });
  if (free == contexts_.end()) return 0;
  if (!describe(target)) {
    windowGone(window);
    return 0;
  }
  *free = Context{
      target, describedDepth_, describedFormat_, 0x000000, describedBlack_, describedWhite_, 0};
  return static_cast<platform::DeviceContext>(free - contexts_.begin()) + 1;
}

X11Surface::Context* X11Surface::find(platform::DeviceContext dc) {
  if (dc == 0 || dc > contexts_.size() || contexts_[dc - 1].drawable == 0) return nullptr;
  return &contexts_[dc - 1];
}

void X11Surface::ReleaseDC(platform::WindowHandle, platform::DeviceContext dc) {
  Context* context = find(dc);
  if (!context) return;
  context->drawable = 0;  // the rest is set again when the context is next handed out
  pen_.flush();
}

void X11Surface::SetTextColor(platform::DeviceContext dc, platform::ColorRef color) {
  Context* context = find(dc);
  // The colour the context has already, black as each frame's context starts: its pixel too.
  if (!context || color == context->textColor) return;
  context->textColor = color;
  context->textPixel = pen_.pixelFor(color, context->format);
}

void X11Surface::FillRect(platform::DeviceContext, const platform::Rect&, platform::BrushHandle) {}

void X11Surface::DrawTextA(platform::DeviceContext dc, const char* text, int count,
                           const platform::Rect& rect, unsigned format) {
  Context* context = find(dc);
  if (!context || !text) return;
  if (count < 0) count = static_cast<int>(std::strlen(text));
  const std::string_view whole(text, static_cast<std::size_t>(count));
  // Nine frames in ten draw the text of the frame before at its place: laid out once, since
  // fonts are kept until the end and the layout depends on nothing else.
  if (!laidOut_.sameAs(context->textHeight, rect, format, whole)) {
    laidOut_.held = false;
    if (!layOut(*context, whole, rect, format)) return;
  }
  lastText_ = {
      context->drawable == root_ ? 0 : static_cast<platform::WindowHandle>(context->drawable), rect,
      lastCharacters_, format, context->textColor};
  drawnSinceLook_ = true;
  pen_.draw({context->drawable, context->depth, lastFont_, context->textPixel, context->cellPixel,
             lastPlace_.clip, lastPlace_.x, lastPlace_.baseline, lastCharacters_});
}

// Where `whole` goes, into the last text's font, place and characters: false when nothing of
// it would show.
bool X11Surface::layOut(const Context& context, std::string_view whole, const platform::Rect& rect,
                        unsigned format) {
  const XRectangle clip = intersection(rect.Left, rect.Top, std::int64_t{rect.Right} - rect.Left,
                                       std::int64_t{rect.Bottom} - rect.Top, kVisible);
  if (clip.width == 0) return false;
  const TextLayout layout =
      pen_.layOut(fonts_, context.textHeight, rect, whole, (format & platform::kDtCenter) != 0);
  const TextFont& font = layout.font;
  if (!font.metrics) return false;
  std::int64_t x = layout.x;
  const std::int64_t baseline = layout.baseline;
  if (baseline < kMinCoordinate || baseline > kMaxCoordinate) return false;
  // Characters left of the smallest coordinate are cut off anyway; drop them before they wrap.
  std::string_view drawn = whole;
  int dropped = 0;
  while (!drawn.empty() && x < kMinCoordinate) {
    const int width = XTextWidth(font.metrics, drawn.data(), 1);
    dropped += width;
    x += width;
    drawn.remove_prefix(1);
  }
  if (drawn.empty() || x > kMaxCoordinate) return false;
  lastCharacters_.assign(drawn);
  lastFont_ = font;
  lastPlace_ = {layout.width - dropped, static_cast<int>(x), static_cast<int>(baseline), clip};
  laidOut_.held = true;
  laidOut_.textHeight = context.textHeight;
  laidOut_.rect = rect;
  laidOut_.format = format;
  laidOut_.text.assign(whole);
  return true;
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
