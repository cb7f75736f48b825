#include "platform/win32/screen_look.hpp"

#include <algorithm>
#include <cstdlib>

namespace tollivane::platform::win32 {
namespace {

// Neither the text's colour nor its cells' nor a blend of the two: where it stays, the text
// has no cell and the game shows through.
constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr std::uint32_t kKeyPixel = 0xFF00FF;
// A screen of fewer colours, or a smoothing of its own, moves a pixel by a few steps.
constexpr int kTolerance = 32;
// A few cells covered (a tooltip's corner, say) is not the game painting over the clock.
constexpr int kMostDifferentPercent = 5;

// A COLORREF as the 32-bit DIB holds it.
std::uint32_t pixelOf(COLORREF color) {
  return static_cast<std::uint32_t>(GetRValue(color)) << 16 |
         static_cast<std::uint32_t>(GetGValue(color)) << 8 | GetBValue(color);
}

bool alike(std::uint32_t a, std::uint32_t b) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int x = static_cast<int>((a >> shift) & 0xFF), y = static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(x - y) > kTolerance) return false;
  }
  return true;
}

}  // namespace

ScreenLook::ScreenLook() : screen_(make()), reference_(make()), key_(CreateSolidBrush(kKey)) {}

ScreenLook::~ScreenLook() {
  free(screen_);
  free(reference_);
  if (key_) DeleteObject(key_);
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
  if (drawn.window) {
    RECT own{};
    if (!IsWindow(drawn.window) || !ClientToScreen(drawn.window, &origin) ||
        !GetClientRect(drawn.window, &own)) {
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

ClockSeen ScreenLook::compare(const DrawnText& drawn) {
  if (!screen_.bits || !reference_.bits || !key_) return ClockSeen::Unknown;
  POINT at{};
  RECT part{};
  if (!visiblePart(drawn, at, part)) return ClockSeen::Unknown;

  // The same call as onto the window, with the same font and colours; a new context's
  // opaque white background stands for the window's.
  const RECT all{0, 0, kWidth, kHeight};
  ::FillRect(reference_.dc, &all, key_);
  const HGDIOBJ oldFont = drawn.font ? SelectObject(reference_.dc, drawn.font) : nullptr;
  if (drawn.font && !oldFont) return ClockSeen::Unknown;  // another program's font
  ::SetTextColor(reference_.dc, drawn.color);
  RECT r{0, 0, drawn.rect.Right - drawn.rect.Left, drawn.rect.Bottom - drawn.rect.Top};
  ::DrawTextA(reference_.dc, drawn.text.data(), drawn.length, &r, drawn.format);
  if (oldFont) SelectObject(reference_.dc, oldFont);

  const HDC screen = ::GetDC(nullptr);
  if (!screen) return ClockSeen::Unknown;
  const bool copied =
      BitBlt(screen_.dc, part.left, part.top, part.right - part.left, part.bottom - part.top,
             screen, at.x + part.left, at.y + part.top, SRCCOPY) != 0;
  ::ReleaseDC(nullptr, screen);
  GdiFlush();
  if (!copied) return ClockSeen::Unknown;

  // Only the pixels wholly text or wholly cell are compared: the glyphs' edges are blended by
  // whoever rasterizes onto the window (Wine's X11 driver onto another program's window,
  // ClearType, a gamma of its own), not as our memory context blends them.
  const std::uint32_t ink = pixelOf(drawn.color), cell = pixelOf(GetBkColor(reference_.dc));
  int cells = 0, different = 0;
  for (int y = part.top; y < part.bottom; ++y) {
    const std::uint32_t* want = reference_.bits + y * kWidth;
    const std::uint32_t* seen = screen_.bits + y * kWidth;
    for (int x = part.left; x < part.right; ++x) {
      const std::uint32_t pixel = want[x] & 0xFFFFFF;
      if (pixel == kKeyPixel || (pixel != ink && pixel != cell)) continue;
      ++cells;
      if (!alike(pixel, seen[x] & 0xFFFFFF)) ++different;
    }
  }
  if (cells == 0) return ClockSeen::Unknown;
  return different * 100 <= cells * kMostDifferentPercent ? ClockSeen::Shown
                                                          : ClockSeen::PaintedOver;
}

}  // namespace tollivane::platform::win32
