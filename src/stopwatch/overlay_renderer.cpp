#include "stopwatch/overlay_renderer.hpp"

#include "common/values.hpp"

namespace tollivane::stopwatch {

platform::Rect overlayRectFor(std::int16_t x, std::int16_t y) {
  platform::Rect r;
  r.Left = x;
  r.Top = y;
  r.Right = addInt16(x, kOverlayWidth);
  r.Bottom = addInt16(y, kOverlayHeight);
  return r;
}

void drawOverlayFrame(platform::ForegroundSurface& surface, const std::string& text,
                      const platform::Rect& rect, const OverlayStyle& style,
                      platform::DeviceContext& dc) {
  const platform::WindowHandle window = surface.GetForegroundWindow();
  dc = surface.GetDC(window);
  surface.SetTextColor(dc, style.textColor);
  surface.FillRect(dc, rect, style.backBrush);
  surface.DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), rect, platform::kDtCenter);
  surface.ReleaseDC(window, dc);
}

}  // namespace tollivane::stopwatch
