// The colours of a window and its controls from its ui/ table, as WM_CTLCOLOR* answers them:
// every brush is made with the window, so answering changes nothing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>

#include "ui/layout.hpp"

namespace tollivane::frontend::win32 {

class ControlColours {
 public:
  explicit ControlColours(const ui::WindowLayout& layout);
  ~ControlColours();
  ControlColours(const ControlColours&) = delete;
  ControlColours& operator=(const ControlColours&) = delete;

  // Sets up `dc` for the control and gives its brush, or nullptr for the system's colours.
  HBRUSH answer(const ui::ControlLayout& control, HDC dc) const;
  // The window's own background, or nullptr for the dialog colour.
  HBRUSH background() const { return background_; }

 private:
  std::optional<ui::Rgb> backgroundOf(const ui::ControlLayout& control) const;
  HBRUSH brush(ui::Rgb colour) const;

  const ui::WindowLayout& layout_;
  std::map<std::uint32_t, HBRUSH> brushes_;
  HBRUSH background_ = nullptr;
};

}  // namespace tollivane::frontend::win32
