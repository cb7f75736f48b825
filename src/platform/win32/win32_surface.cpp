#include "platform/win32/win32_surface.hpp"

#include <windows.h>

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
  return reinterpret_cast<DeviceContext>(::GetDC(window(handle)));
}

void Win32Surface::ReleaseDC(WindowHandle handle, DeviceContext dc) {
  if (dc == 0) return;
  // The context is found by itself, not through the window: once the window is gone its
  // handle no longer matches, and the context must still go back to the cache.
  if (!::ReleaseDC(window(handle), context(dc))) ::ReleaseDC(nullptr, context(dc));
}

void Win32Surface::SetTextColor(DeviceContext dc, ColorRef color) {
  if (dc != 0) ::SetTextColor(context(dc), color);
}

void Win32Surface::FillRect(DeviceContext dc, const Rect& rect, BrushHandle brush) {
  if (dc == 0 || brush == 0) return;
  const RECT r = rectangle(rect);
  ::FillRect(context(dc), &r, reinterpret_cast<HBRUSH>(brush));
}

void Win32Surface::DrawTextA(DeviceContext dc, const char* text, int count, const Rect& rect,
                             unsigned format) {
  if (dc == 0) return;
  RECT r = rectangle(rect);
  ::DrawTextA(context(dc), text, count, &r, format);
}

void Win32Surface::setTextHeight(DeviceContext, int) {}

std::optional<Size> Win32Surface::clientSize(WindowHandle) { return std::nullopt; }

ClockSeen Win32Surface::lookAtLastClock() { return ClockSeen::Unknown; }

void Win32Surface::DeleteObject(BrushHandle object) {
  if (object != 0) ::DeleteObject(reinterpret_cast<HGDIOBJ>(object));
}

}  // namespace tollivane::platform::win32
