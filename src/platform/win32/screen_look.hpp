// Whether the screen, as the user sees it, still shows a text drawn onto a window: the
// screen's pixels at the text's cells are read back and compared with the same text drawn
// the same way into memory, where that is wholly text or wholly cell. Both copies are made
// once and kept.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "platform/chosen_surface.hpp"

namespace tollivane::platform::win32 {

// One DrawTextA onto a window's client area (the screen's for a null window), kept to be
// drawn again.
struct DrawnText {
  HWND window = nullptr;
  std::array<char, 64> text{};
  int length = 0;
  Rect rect{};
  unsigned format = 0;
  COLORREF color = 0;
  HFONT font = nullptr;
};

class ScreenLook {
 public:
  // The largest part of a rectangle compared, from its top-left.
  static constexpr int kWidth = 1024;
  static constexpr int kHeight = 256;

  ScreenLook();
  ~ScreenLook();
  ScreenLook(const ScreenLook&) = delete;
  ScreenLook& operator=(const ScreenLook&) = delete;

  // One read of the screen. Unknown when the window is gone, none of the text's cells are on
  // the screen, or the copies could not be made.
  ClockSeen compare(const DrawnText& drawn);

 private:
  struct Copy {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    std::uint32_t* bits = nullptr;
  };
  static Copy make();
  static void free(Copy& copy);
  // The part of the text's rectangle, in its own coordinates, that the screen shows.
  bool visiblePart(const DrawnText& drawn, POINT& at, RECT& part) const;

  Copy screen_;
  Copy reference_;
  HBRUSH key_ = nullptr;
};

}  // namespace tollivane::platform::win32
