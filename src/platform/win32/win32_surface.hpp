// Drawing on the window in front with GDI itself. The window belongs to another program and
// may be destroyed between any two calls: every call then fails harmlessly, and the context
// is still given back, so a vanished window costs one frame and leaks nothing.
#pragma once

#include <windows.h>

#include <string>

#include "platform/chosen_surface.hpp"
#include "platform/win32/screen_look.hpp"
#include "platform/win32/text_font.hpp"

namespace tollivane::platform::win32 {

class Win32Surface final : public DirectSurface {
 public:
  Win32Surface() { lastCharacters_.reserve(32); }
  WindowHandle GetForegroundWindow() override;
  DeviceContext GetDC(WindowHandle window) override;
  void ReleaseDC(WindowHandle window, DeviceContext dc) override;
  void SetTextColor(DeviceContext dc, ColorRef color) override;
  void FillRect(DeviceContext dc, const Rect& rect, BrushHandle brush) override;
  void DrawTextA(DeviceContext dc, const char* text, int count, const Rect& rect,
                 unsigned format) override;
  void DeleteObject(BrushHandle object) override;
  void setTextHeight(DeviceContext dc, int pixels) override;
  std::optional<Size> clientSize(WindowHandle window) override;
  // The screen itself, not the window: a flip-model game never shows GDI drawing on it.
  ClockSeen lookAtLastClock() override;
  // The desktop window is always seen where nothing covers it.
  bool screenSeen() const override { return true; }

 private:
  TextFonts& fonts_ = textFonts();
  ScreenLook look_;
  // The frame in progress.
  HWND window_ = nullptr;
  COLORREF textColor_ = 0;
  int textHeight_ = 0;
  // The latest text drawn since the last look, as the look draws it again.
  bool drawn_ = false;
  std::string lastCharacters_;
  DrawnText last_{};
  HFONT lastFont_ = nullptr;
};

}  // namespace tollivane::platform::win32
