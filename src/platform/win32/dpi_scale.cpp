#include "platform/win32/dpi_scale.hpp"

#include <cstdint>
#include <limits>

namespace tollivane::platform::win32 {
namespace {

std::int32_t scaled(std::int32_t value, unsigned fromDpi, unsigned toDpi) {
  const std::int64_t product = static_cast<std::int64_t>(value) * toDpi;
  const std::int64_t half = fromDpi / 2;
  std::int64_t result = product >= 0 ? (product + half) / fromDpi : (product - half) / fromDpi;
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  if (result > kMax) result = kMax;
  if (result < -kMax) result = -kMax;
  return static_cast<std::int32_t>(result);
}

}  // namespace

unsigned dpiForWindow(HWND window) {
  // Looked up, not imported: older Windows lack it, and the program must still start there.
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  return getDpiForWindow != nullptr && window != nullptr ? getDpiForWindow(window) : 0;
}

Rect scaledForDpi(const Rect& rect, unsigned fromDpi, unsigned toDpi) {
  if (fromDpi == 0 || toDpi == 0 || fromDpi == toDpi) return rect;
  return Rect{scaled(rect.Left, fromDpi, toDpi), scaled(rect.Top, fromDpi, toDpi),
              scaled(rect.Right, fromDpi, toDpi), scaled(rect.Bottom, fromDpi, toDpi)};
}

int scaledForDpi(int pixels, unsigned fromDpi, unsigned toDpi) {
  if (fromDpi == 0 || toDpi == 0 || fromDpi == toDpi) return pixels;
  return scaled(pixels, fromDpi, toDpi);
}

}  // namespace tollivane::platform::win32
