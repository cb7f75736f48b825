#include "platform/win32/win32_surface.hpp"

#include <cstring>
#include <string_view>

namespace tollivane::platform::win32 {
namespace {

HWND window(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }
HDC context(DeviceContext handle) { return reinterpret_cast<HDC>(handle); }
RECT rectangle(const Rect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

}  // namespace

WindowHandle Win32Surface::GetForegroundWindow() {
  return reinterpret_cast<WindowHandle>(::GetForegroundWindow());
}

DeviceContext Win32Surface::GetDC(WindowHandle handle) {
  window_ = window(handle);
  textHeight_ = 0;
  return reinterpret_cast<DeviceContext>(::GetDC(window(handle)));
}

void Win32Surface::ReleaseDC(WindowHandle handle, DeviceContext dc) {
  if (dc == 0) return;
  // The context is found by itself, not through the window: once the window is gone its
  // handle no longer matches, and the context must still go back to the cache.
  if (!::ReleaseDC(window(handle), context(dc))) ::ReleaseDC(nullptr, context(dc));
}

void Win32Surface::SetTextColor(DeviceContext dc, ColorRef color) {
  if (dc == 0) return;
  ::SetTextColor(context(dc), color);
  textColor_ = color;
}

void Win32Surface::FillRect(DeviceContext, const Rect&, BrushHandle) {}

void Win32Surface::DrawTextA(DeviceContext dc, const char* text, int count, const Rect& rect,
                             unsigned format) {
  // GDI would draw an inside-out rectangle's text into the rectangle turned right side out.
  if (dc == 0 || rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
  RECT r = rectangle(rect);
  const TextFonts::Choice font =
      fonts_.choose(context(dc), textHeight_, rect.Bottom - rect.Top, rect.Right - rect.Left);
  const HGDIOBJ old = font.ours ? SelectObject(context(dc), font.font) : nullptr;
  ::DrawTextA(context(dc), text, count, &r, format);
  if (old) SelectObject(context(dc), old);

  // Kept in memory only: the frame makes no call more for the look. The same text ten frames
  // in a row need not be copied.
  const std::string_view drawn(text,
                               count < 0 ? std::strlen(text) : static_cast<std::size_t>(count));
  if (lastCharacters_ != drawn) lastCharacters_.assign(drawn);
  last_ = {reinterpret_cast<WindowHandle>(window_), rect, lastCharacters_, format, textColor_};
  lastFont_ = font.font;
  drawn_ = true;
}

void Win32Surface::setTextHeight(DeviceContext dc, int pixels) {
  if (dc != 0) textHeight_ = pixels;
}

std::optional<Size> Win32Surface::clientSize(WindowHandle handle) {
  if (handle == 0) return Size{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT r{};
  if (!GetClientRect(window(handle), &r)) return std::nullopt;
  return Size{r.right - r.left, r.bottom - r.top};
}

ClockSeen Win32Surface::lookAtLastClock() {
  if (!drawn_) return ClockSeen::Unknown;
  drawn_ = false;
  return look_.compare(last_, lastFont_);
}

void Win32Surface::DeleteObject(BrushHandle) {}

}  // namespace tollivane::platform::win32
