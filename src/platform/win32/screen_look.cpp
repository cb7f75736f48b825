#include "platform/win32/screen_look.hpp"

#include <algorithm>
#include <cstddef>

#include "platform/clock_look.hpp"
#include "platform/win32/colour_key.hpp"

namespace tollivane::platform::win32 {
namespace {

// A COLORREF as the 32-bit DIB holds it.
std::uint32_t pixelOf(COLORREF color) {
  return static_cast<std::uint32_t>(GetRValue(color)) << 16 |
         static_cast<std::uint32_t>(GetGValue(color)) << 8 | GetBValue(color);
}

// Neither the text's colour nor its cells' nor a blend of the two: where it stays, the text
// has no cell and the game shows through.
COLORREF keyFor(COLORREF ink, COLORREF cell) {
  for (const COLORREF key : {kColourKey, RGB(0, 255, 0), RGB(0, 0, 255)}) {
    if (key != ink && key != cell) return key;
  }
  return kColourKey;  // not reached: three colours, two taken at most
}

}  // namespace

ScreenLook::ScreenLook() : screen_(make()), reference_(make()) {}

ScreenLook::~ScreenLook() {
  free(screen_);
  free(reference_);
}

ScreenLook::Copy ScreenLook::make() {
  Copy copy;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  copy.bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  copy.dc = CreateCompatibleDC(nullptr);
  if (copy.bitmap && copy.dc) {
    copy.old = SelectObject(copy.dc, copy.bitmap);
    copy.bits = static_cast<std::uint32_t*>(bits);
  }
  return copy;
}

void ScreenLook::free(Copy& copy) {
  if (copy.dc && copy.old) SelectObject(copy.dc, copy.old);
  if (copy.dc) DeleteDC(copy.dc);
  if (copy.bitmap) DeleteObject(copy.bitmap);
  copy = Copy{};
}

bool ScreenLook::visiblePart(const DrawnText& drawn, POINT& at, RECT& part) const {
  POINT origin{0, 0};
  RECT client{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
  client.right = client.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
  client.bottom = client.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (const auto window = reinterpret_cast<HWND>(drawn.window)) {
    RECT own{};
    if (!IsWindow(window) || !ClientToScreen(window, &origin) || !GetClientRect(window, &own)) {
      return false;
    }
    // Drawing onto the window stops at its client area; the rest was never drawn.
    client.left = std::max(client.left, origin.x);
    client.top = std::max(client.top, origin.y);
    client.right = std::min(client.right, origin.x + own.right);
    client.bottom = std::min(client.bottom, origin.y + own.bottom);
  }
  at = POINT{origin.x + drawn.rect.Left, origin.y + drawn.rect.Top};
  const int width = std::min(drawn.rect.Right - drawn.rect.Left, kWidth);
  const int height = std::min(drawn.rect.Bottom - drawn.rect.Top, kHeight);
  part = RECT{std::max(0, static_cast<int>(client.left - at.x)),
              std::max(0, static_cast<int>(client.top - at.y)),
              std::min(width, static_cast<int>(client.right - at.x)),
              std::min(height, static_cast<int>(client.bottom - at.y))};
  return part.left < part.right && part.top < part.bottom;
}

ClockSeen ScreenLook::compare(const DrawnText& drawn, HFONT font) {
  if (!screen_.bits || !reference_.bits) return ClockSeen::Unknown;
  POINT at{};
  RECT part{};
  if (!visiblePart(drawn, at, part)) return ClockSeen::Unknown;

  // The same call as onto the window, with the same font and colours; a new context's
  // opaque white background stands for the window's.
  const COLORREF cell = GetBkColor(reference_.dc);
  const HBRUSH key = CreateSolidBrush(keyFor(drawn.color, cell));
  if (!key) return ClockSeen::Unknown;
  const RECT all{0, 0, kWidth, kHeight};
  ::FillRect(reference_.dc, &all, key);
  ::DeleteObject(key);
  const HGDIOBJ oldFont = font ? SelectObject(reference_.dc, font) : nullptr;
  if (font && !oldFont) return ClockSeen::Unknown;  // another program's font
  ::SetTextColor(reference_.dc, drawn.color);
  RECT r{0, 0, drawn.rect.Right - drawn.rect.Left, drawn.rect.Bottom - drawn.rect.Top};
  ::DrawTextA(reference_.dc, drawn.text.data(), static_cast<int>(drawn.text.size()), &r,
              drawn.format);
  if (oldFont) SelectObject(reference_.dc, oldFont);

  const HDC screen = ::GetDC(nullptr);
  if (!screen) return ClockSeen::Unknown;
  const bool copied =
      BitBlt(screen_.dc, part.left, part.top, part.right - part.left, part.bottom - part.top,
             screen, at.x + part.left, at.y + part.top, SRCCOPY) != 0;
  ::ReleaseDC(nullptr, screen);
  GdiFlush();
  if (!copied) return ClockSeen::Unknown;

  const std::ptrdiff_t first = part.top * kWidth + part.left;
  const int width = part.right - part.left, height = part.bottom - part.top;
  return compareClock(
      {{reference_.bits + first, width, height, kWidth}, pixelOf(drawn.color), pixelOf(cell)},
      {screen_.bits + first, width, height, kWidth});
}

}  // namespace tollivane::platform::win32
