// A game that is not dpi-aware draws in 96-dpi units that the system stretches to the
// monitor, while the window of our own, per-monitor aware, is placed in the monitor's pixels:
// the overlay's rectangle goes from the one to the other.
#pragma once

#include <windows.h>

#include "platform/platform.hpp"

namespace tollivane::platform::win32 {

// `rect` in a window's client units at `fromDpi`, in pixels at `toDpi`, each edge rounded to
// the nearest (a half away from zero, as the system's own MulDiv); unchanged when either dpi
// is unknown (0).
Rect scaledForDpi(const Rect& rect, unsigned fromDpi, unsigned toDpi);

// A height in the same way: text `pixels` tall at `fromDpi`, at `toDpi`; 0 stays 0.
int scaledForDpi(int pixels, unsigned fromDpi, unsigned toDpi);

// The dpi the system gives `window` (Windows 10 1607 and later), or 0 where it cannot tell.
unsigned dpiForWindow(HWND window);

}  // namespace tollivane::platform::win32
