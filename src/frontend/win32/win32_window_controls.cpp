#include "frontend/win32/win32_window_controls.hpp"

namespace tollivane::frontend::win32 {
void Win32WindowControls::addMenuEntry(std::string_view name,
                                       std::unique_ptr<Win32MenuEntry> entry) {
  menuEntries_.add(name, std::move(entry));
}

app::TextBox& Win32WindowControls::textBox(std::string_view name) {
  return textBoxes_.made(name,
                         [&] { return std::make_unique<Win32TextBox>(windows_.window(name)); });
}

app::Panel& Win32WindowControls::panel(std::string_view name) {
  return panels_.made(name,
                      [&] { return std::make_unique<Win32Panel>(windows_.panelContents(name)); });
}

app::MenuEntry& Win32WindowControls::menuEntry(std::string_view name) {
  return menuEntries_.added(name, "menu entry");
}

app::Label& Win32WindowControls::label(std::string_view name) {
  return labels_.made(name, [&] { return std::make_unique<Win32Label>(windows_.window(name)); });
}

}  // namespace tollivane::frontend::win32
