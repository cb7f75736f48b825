// Builds a window's controls from its ui/ table as Win32 child windows, at the window's dpi,
// in the dialog font, and answers the colour and command messages that concern them.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "frontend/win32/control_colours.hpp"
#include "frontend/win32/dpi_fonts.hpp"
#include "ui/layout.hpp"

namespace tollivane::frontend::win32 {

class LayoutWindows {
 public:
  LayoutWindows(const ui::WindowLayout& layout, HWND window, int dpi);
  ~LayoutWindows();
  LayoutWindows(const LayoutWindows&) = delete;
  LayoutWindows& operator=(const LayoutWindows&) = delete;

  HWND window(std::string_view name) const;
  // The control of a WM_COMMAND id, or nullptr.
  const ui::ControlLayout* control(int id) const;
  // A panel and every control placed in it.
  std::vector<HWND> panelContents(std::string_view panel) const;
  // Ids of the default and the cancel button, 0 for none.
  int defaultId() const { return defaultId_; }
  int cancelId() const { return cancelId_; }

  // WM_CTLCOLOR* for one of our controls: sets up `dc` and gives the brush, or nullptr for the
  // system's colours.
  HBRUSH colours(HWND control, HDC dc) const;
  // The window's own background, or nullptr for the dialog colour.
  HBRUSH background() const { return colours_.background(); }

  // Places and sizes every control, and sets its font, for another dpi (the window moved to
  // a monitor with another scale). Pictures keep their natural size.
  void rescale(int dpi);

 private:
  struct Built {
    const ui::ControlLayout* layout;
    HWND window;
    int id;
    int left, top;  // twips from the window's corner
  };
  void build(const ui::ControlLayout& control, int x, int y);
  const ui::ControlLayout* find(HWND window) const;

  const ui::WindowLayout& layout_;
  HWND window_;
  DpiFonts fonts_;
  ControlColours colours_;
  std::vector<Built> built_;
  std::vector<HANDLE> images_;
  int defaultId_ = 0;
  int cancelId_ = 0;
};

}  // namespace tollivane::frontend::win32
