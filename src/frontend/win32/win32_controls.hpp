// The controls the logic reads and writes, over Win32 windows and menu items.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/window_controls.hpp"

namespace tollivane::frontend::win32 {

// A window's text, UTF-8 here and UTF-16 at the API.
std::string windowText(HWND window);
void setWindowText(HWND window, std::string_view text);

class Win32TextBox final : public app::TextBox {
 public:
  explicit Win32TextBox(HWND box) : box_(box) {}
  std::string text() const override { return windowText(box_); }
  void setText(std::string_view text) override { setWindowText(box_, text); }

 private:
  HWND box_;
};

class Win32Label final : public app::Label {
 public:
  explicit Win32Label(HWND label) : label_(label) {}
  void setCaption(std::string_view caption) override { setWindowText(label_, caption); }

 private:
  HWND label_;
};

// A panel and what it holds, which are the window's children placed over the panel.
class Win32Panel final : public app::Panel {
 public:
  explicit Win32Panel(std::vector<HWND> windows) : windows_(std::move(windows)) {}
  void setVisible(bool visible) override;

 private:
  std::vector<HWND> windows_;
};

class Win32MenuEntry final : public app::MenuEntry {
 public:
  Win32MenuEntry(HMENU menu, UINT id) : menu_(menu), id_(id) {}
  void setCaption(std::string_view caption) override;
  bool checked() const override;
  void setChecked(bool checked) override;

 private:
  HMENU menu_;
  UINT id_;
};

}  // namespace tollivane::frontend::win32
