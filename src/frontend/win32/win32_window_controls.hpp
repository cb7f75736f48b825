// A window's controls as the logic finds them by the names of the window's table: adapters
// over the child windows built from it, made on first lookup; the main window adds its menu
// entries.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

#include "app/named_controls.hpp"
#include "app/window_binding.hpp"
#include "frontend/win32/layout_windows.hpp"
#include "frontend/win32/win32_controls.hpp"

namespace tollivane::frontend::win32 {

class Win32WindowControls final : public app::ControlLookup {
 public:
  explicit Win32WindowControls(const LayoutWindows& windows) : windows_(windows) {}
  Win32WindowControls(const Win32WindowControls&) = delete;
  Win32WindowControls& operator=(const Win32WindowControls&) = delete;

  void addMenuEntry(std::string_view name, std::unique_ptr<Win32MenuEntry> entry);

  app::TextBox& textBox(std::string_view name) override;
  app::Panel& panel(std::string_view name) override;
  app::MenuEntry& menuEntry(std::string_view name) override;
  app::Label& label(std::string_view name) override;

 private:
  const LayoutWindows& windows_;
  app::NamedControls<Win32TextBox> textBoxes_;
  app::NamedControls<Win32Panel> panels_;
  app::NamedControls<Win32Label> labels_;
  app::NamedControls<Win32MenuEntry> menuEntries_;
};

}  // namespace tollivane::frontend::win32
