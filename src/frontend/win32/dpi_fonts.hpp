// The fonts of a window's controls at one dpi: the dialog font, and the capture boxes' own.
#pragma once

#include <windows.h>

#include "ui/layout.hpp"

namespace tollivane::frontend::win32 {

class DpiFonts {
 public:
  explicit DpiFonts(int dpi);
  ~DpiFonts();
  DpiFonts(const DpiFonts&) = delete;
  DpiFonts& operator=(const DpiFonts&) = delete;
  // Takes the other's fonts and leaves it the ones this had, to delete once nothing uses them.
  void swap(DpiFonts& other) noexcept;

  int dpi() const { return dpi_; }
  // Gives `control` its font at this dpi, and a capture box its margins.
  void apply(HWND control, ui::ControlKind kind) const;

 private:
  int dpi_;
  HFONT dialog_;
  HFONT capture_;
};

}  // namespace tollivane::frontend::win32
