#include "platform/x11/text_pen.hpp"

#include <X11/Xlib-xcb.h>

#include <algorithm>

namespace tollivane::platform::x11 {

TextPen::TextPen(Display* display)
    : display_(display), xcb_(XGetXCBConnection(display)), root_(DefaultRootWindow(display)) {}

TextPen::~TextPen() {
  for (Pens& pens : pens_) {
    if (pens.plain.gc) XFreeGC(display_, pens.plain.gc);
    if (pens.sized.gc) XFreeGC(display_, pens.sized.gc);
  }
}

TextLayout TextPen::layOut(FontChoice& fonts, int pixels, const platform::Rect& rect,
                           std::string_view text, bool centred) {
  const std::int64_t width = std::max<std::int64_t>(0, std::int64_t{rect.Right} - rect.Left);
  const std::int64_t height = std::max<std::int64_t>(0, std::int64_t{rect.Bottom} - rect.Top);
  TextLayout layout{fonts.forText(pixels, static_cast<int>(std::min(height, kMaxSize)),
                                  static_cast<int>(std::min(width, kMaxSize)))};
  if (!layout.font.metrics) return layout;
  layout.width =
      widths_.of(layout.font.metrics, layout.font.id, text.data(), static_cast<int>(text.size()));
  layout.x = rect.Left + (centred ? (width - layout.width) / 2 : 0);
  layout.baseline = std::int64_t{rect.Top} + layout.font.metrics->ascent;
  return layout;
}

TextPen::Pens& TextPen::pensFor(int depth) {
  Pens& latest = pens_[latest_];
  return latest.plain.gc && latest.depth == depth ? latest : otherPens(depth);
}

// Another depth than the latest text's: the other set, made again when it serves a third.
TextPen::Pens& TextPen::otherPens(int depth) {
  if (pens_[latest_].plain.gc) latest_ = 1 - latest_;
  Pens& pens = pens_[latest_];
  if (pens.plain.gc && pens.depth != depth) {
    XFreeGC(display_, pens.plain.gc);
    if (pens.sized.gc) XFreeGC(display_, pens.sized.gc);
    pens = Pens{};
  }
  if (!pens.plain.gc) {
    pens.depth = depth;
    make(pens.plain, depth, 0, 0);
  }
  return pens;
}

// Made on the root, or on a pixmap of the depth, never on the target: a GC made on a window
// destroyed meanwhile would fail every frame after.
void TextPen::make(Pen& pen, int depth, unsigned long ink, unsigned long cells) {
  Pixmap pixmap = 0;
  Drawable on = root_;
  if (depth != DefaultDepth(display_, DefaultScreen(display_))) {
    on = pixmap = XCreatePixmap(display_, root_, 1, 1, static_cast<unsigned>(depth));
  }
  XGCValues values{};
  values.foreground = ink;
  values.background = cells;
  // Over child windows too: a game often renders into a child of its top-level window.
  values.subwindow_mode = IncludeInferiors;
  values.graphics_exposures = False;
  pen = Pen{XCreateGC(display_, on,
                      GCForeground | GCBackground | GCSubwindowMode | GCGraphicsExposures, &values),
            0, ink, cells, std::nullopt};
  if (pixmap) XFreePixmap(display_, pixmap);
}

GC TextPen::plainGc(int depth) { return pensFor(depth).plain.gc; }

void TextPen::draw(const TextStroke& stroke) {
  Pens& pens = pensFor(stroke.depth);
  Pen& pen = stroke.font.id == 0 ? pens.plain : pens.sized;
  const unsigned long cells = stroke.cells.value_or(pen.cells);
  if (!pen.gc) make(pen, stroke.depth, stroke.ink, cells);
  bool changed = false;
  if (pen.font != stroke.font.id) {
    XSetFont(display_, pen.gc, pen.font = stroke.font.id);
    changed = true;
  }
  if (pen.ink != stroke.ink) {
    XSetForeground(display_, pen.gc, pen.ink = stroke.ink);
    changed = true;
  }
  if (pen.cells != cells) {
    XSetBackground(display_, pen.gc, pen.cells = cells);
    changed = true;
  }
  if (changed) XFlushGC(display_, pen.gc);  // XCB's request would not send Xlib's cached change
  if (stroke.clip.has_value() != pen.clip.has_value() ||
      (stroke.clip && !sameRectangle(*stroke.clip, *pen.clip))) {
    pen.clip = stroke.clip;
    if (pen.clip) {
      XSetClipRectangles(display_, pen.gc, 0, 0, &*pen.clip, 1, Unsorted);
    } else {
      XSetClipMask(display_, pen.gc, 0);
    }
  }
  // Through XCB where one request holds the text: Xlib would take the connection back for its
  // request, and a frame's flush would try to read the socket as well. Glyphs alone go through
  // Xlib, which cuts them into the text items of its request.
  const auto count = static_cast<int>(stroke.text.size());
  if (stroke.cells && count <= 255) {
    xcb_image_text_8(
        xcb_, static_cast<std::uint8_t>(count), static_cast<xcb_drawable_t>(stroke.target),
        static_cast<xcb_gcontext_t>(XGContextFromGC(pen.gc)), static_cast<std::int16_t>(stroke.x),
        static_cast<std::int16_t>(stroke.baseline), stroke.text.data());
    sentThroughXcb_ = true;
    return;
  }
  if (stroke.cells) {  // more than one request holds it: Xlib splits it
    XDrawImageString(display_, stroke.target, pen.gc, stroke.x, stroke.baseline, stroke.text.data(),
                     count);
  } else {
    XDrawString(display_, stroke.target, pen.gc, stroke.x, stroke.baseline, stroke.text.data(),
                count);
  }
  sentThroughXcb_ = false;
}

// A flush, never a sync: a frame must never wait for a round trip to the server. XFlush also
// tries to read the socket, a system call that a frame need not make; after a request sent
// through XCB, Xlib's own requests have gone to XCB as well, and XCB's flush sends them all.
void TextPen::flush() {
  if (sentThroughXcb_) {
    xcb_flush(xcb_);
  } else {
    XFlush(display_);
  }
  sentThroughXcb_ = false;
}

}  // namespace tollivane::platform::x11
