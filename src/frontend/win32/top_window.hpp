// A top-level window built from a ui/ table: fixed border, caption, client area sized in
// twips at the screen's dpi, centred on the screen or on its owner. Subclasses hear of
// clicks and of the messages they care about.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

#include "frontend/win32/layout_windows.hpp"
#include "ui/layout.hpp"

namespace tollivane::frontend::win32 {

class TopWindow {
 public:
  virtual ~TopWindow();
  TopWindow(const TopWindow&) = delete;
  TopWindow& operator=(const TopWindow&) = delete;

  HWND handle() const { return window_; }
  const LayoutWindows& controls() const { return *controls_; }

 protected:
  TopWindow() = default;
  // `menu` may be nullptr. Builds the controls; the window stays hidden.
  void create(const ui::WindowLayout& layout, HWND owner, HMENU menu);
  void showCentred(int show = SW_SHOW);
  void destroy();

  // A button of the table was clicked (also through Enter or Esc).
  virtual void onClick(std::string_view control) = 0;
  // Any other message; the default is the system's.
  virtual LRESULT onMessage(UINT message, WPARAM w, LPARAM l);

 private:
  static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT handle(UINT message, WPARAM w, LPARAM l);
  void clickId(int id);

  const ui::WindowLayout* layout_ = nullptr;
  HWND window_ = nullptr;
  HWND owner_ = nullptr;
  std::unique_ptr<LayoutWindows> controls_;
};

// The screen's dots per inch, by which twips become pixels.
int screenDpi();
// The dots per inch of the monitor the window is on (Windows 10 and later), else the screen's.
int windowDpi(HWND window);

}  // namespace tollivane::frontend::win32
