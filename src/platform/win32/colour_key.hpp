// The colour that means "no part of the clock here": the window of our own shows the game
// where it is painted, and the clock's copy in memory marks with it where the text has no cell.
#pragma once

#include <windows.h>

namespace tollivane::platform::win32 {

// Neither the clock's black text nor its cells' white, so only the cells cover the game.
inline constexpr COLORREF kColourKey = RGB(255, 0, 255);

}  // namespace tollivane::platform::win32
