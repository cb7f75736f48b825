#include "platform/sim/sim_surface.hpp"

#include <cstring>
#include <utility>

namespace tollivane::platform::sim {

SimSurface::SimSurface() {
  // A clock text never comes near this, so recording one never allocates.
  lastText_.reserve(256);
}

SimSurface::OutContext* SimSurface::findOut(DeviceContext dc) {
  for (OutContext& out : out_) {
    if (out.dc == dc) return &out;
  }
  return nullptr;
}

WindowHandle SimSurface::GetForegroundWindow() {
  ++calls_.GetForegroundWindow;
  return foreground_;
}

DeviceContext SimSurface::GetDC(WindowHandle window) {
  ++calls_.GetDC;
  if (!contextsAvailable_) return 0;
  const DeviceContext dc = nextContext_++;
  if (OutContext* slot = findOut(0)) *slot = {dc, window};
  ++contextsOut_;
  textHeight_ = 0;
  return dc;
}

void SimSurface::ReleaseDC(WindowHandle window, DeviceContext dc) {
  ++calls_.ReleaseDC;
  if (dc == 0) return;
  OutContext* out = findOut(dc);
  if (!out) {
    ++badReleases_;
    return;
  }
  if (out->window != window) ++badReleases_;
  *out = {};
  --contextsOut_;
}

void SimSurface::SetTextColor(DeviceContext dc, ColorRef color) {
  ++calls_.SetTextColor;
  if (dc != 0) lastTextColor_ = color;
}

void SimSurface::FillRect(DeviceContext dc, const Rect& rect, BrushHandle brush) {
  ++calls_.FillRect;
  if (dc == 0) return;
  lastBrush_ = brush;
  lastFillRect_ = rect;
}

void SimSurface::DrawTextA(DeviceContext dc, const char* text, int count, const Rect& rect,
                           unsigned format) {
  ++calls_.DrawTextA;
  if (dc == 0) return;
  const std::size_t length = count < 0 ? std::strlen(text) : static_cast<std::size_t>(count);
  lastText_.assign(text, length);
  lastTextRect_ = rect;
  lastTextFormat_ = format;
  lastTextHeight_ = textHeight_;
  drawnSinceLook_ = true;
  const OutContext* out = findOut(dc);
  lastTextWindow_ = out ? out->window : 0;
  if (onDraw) onDraw({lastTextWindow_, rect, lastText_, format, lastTextColor_});
}

void SimSurface::setTextHeight(DeviceContext dc, int pixels) {
  if (dc != 0) textHeight_ = pixels;
}

std::optional<Size> SimSurface::clientSize(WindowHandle) { return clientSize_; }

ClockSeen SimSurface::lookAtLastClock() {
  ++calls_.lookAtLastClock;
  const bool drawn = std::exchange(drawnSinceLook_, false);
  // Nothing to see of a window that is gone, or of a clock wholly past its edges.
  const Rect& r = lastTextRect_;
  if (!drawn || !contextsAvailable_ || r.Right <= 0 || r.Bottom <= 0 ||
      r.Left >= clientSize_.width || r.Top >= clientSize_.height) {
    return ClockSeen::Unknown;
  }
  return repainting_ ? ClockSeen::PaintedOver : ClockSeen::Shown;
}

void SimSurface::DeleteObject(BrushHandle object) {
  ++calls_.DeleteObject;
  lastDeleted_ = object;
}

}  // namespace tollivane::platform::sim
