// The overlay through a window of our own: a small layered popup that stays above the window
// in front and follows its client area, for games that repaint over anything drawn onto them.
// It never takes the focus or any input: clicks and keys go through to the game. Outside the
// text's cells a colour key lets the game show through, as it does when drawing straight onto
// the game. All calls come from the program's one UI thread, which also pumps the window's
// messages.
#pragma once

#include <windows.h>

#include <string>

#include "platform/chosen_surface.hpp"
#include "platform/win32/text_font.hpp"

namespace tollivane::platform::win32 {

class Win32OverlayWindow final : public OwnWindowSurface {
 public:
  // The window is made hidden; it shows with the first frame drawn.
  Win32OverlayWindow();
  ~Win32OverlayWindow() override;
  Win32OverlayWindow(const Win32OverlayWindow&) = delete;
  Win32OverlayWindow& operator=(const Win32OverlayWindow&) = delete;

  // The real window in front, never our own.
  WindowHandle GetForegroundWindow() override;
  // A context of our own window, placed over `window`'s client area (the screen for 0) by the
  // first fill or text drawn; 0 when that window is gone, which costs this frame only.
  DeviceContext GetDC(WindowHandle window) override;
  void ReleaseDC(WindowHandle window, DeviceContext dc) override;
  void SetTextColor(DeviceContext dc, ColorRef color) override;
  void FillRect(DeviceContext dc, const Rect& rect, BrushHandle brush) override;
  void DrawTextA(DeviceContext dc, const char* text, int count, const Rect& rect,
                 unsigned format) override;
  void DeleteObject(BrushHandle object) override;
  void setTextHeight(DeviceContext dc, int pixels) override;
  void hide() override;

  // Ours, for tests and measurements: the window, or 0 when the system refused to make one.
  WindowHandle handle() const { return reinterpret_cast<WindowHandle>(window_); }

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM w, LPARAM l);
  // Moves, sizes, shows and raises the window for `rect` only as far as it needs it, then
  // clears it to the key colour; once per frame.
  void place(HDC dc, const Rect& rect);
  // The rectangle in the target's client units, in our window's pixels.
  Rect own(const Rect& rect) const;
  bool targetAbove() const;
  RECT local(const Rect& rect) const;
  void paint(HDC dc) const;

  HWND window_ = nullptr;
  HBRUSH key_ = nullptr;
  TextFonts& fonts_ = textFonts();
  // The frame in progress: the target's client origin on the screen and whether it is placed.
  HWND target_ = nullptr;
  POINT origin_{};
  POINT anchor_{};  // the placing rectangle's top-left, our window's (0, 0)
  bool placed_ = false;
  unsigned targetDpi_ = 0, ownDpi_ = 0;  // 0: unknown, no conversion
  int textHeight_ = 0;
  // Where the window stands and what it showed last, to repaint without the core.
  bool shown_ = false;
  RECT bounds_{};
  HWND raisedOver_ = nullptr;
  std::string text_;  // room for any clock made up front: a frame never allocates
  RECT textRect_{};
  COLORREF textColor_ = 0;
  unsigned format_ = 0;
  TextFonts::Choice font_{};
};

}  // namespace tollivane::platform::win32
