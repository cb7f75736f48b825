// The screen as the user sees it at a text drawn onto a window, beside the same text drawn the
// same way into memory, compared by the one rule of clock_look.hpp. Both copies are made once
// and kept.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/chosen_surface.hpp"
#include "platform/drawn_text.hpp"

namespace tollivane::platform::win32 {

class ScreenLook {
 public:
  // The largest part of a rectangle compared, from its top-left.
  static constexpr int kWidth = 1024;
  static constexpr int kHeight = 256;

  ScreenLook();
  ~ScreenLook();
  ScreenLook(const ScreenLook&) = delete;
  ScreenLook& operator=(const ScreenLook&) = delete;

  // One read of the screen where `drawn` went onto its window's client area (the screen's for
  // window 0) in `font` (null: the context's own). Unknown when the window is gone, none of the
  // text's cells are on the screen, or the copies could not be made.
  ClockSeen compare(const DrawnText& drawn, HFONT font);

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
};

}  // namespace tollivane::platform::win32
