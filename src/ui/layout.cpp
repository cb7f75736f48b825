#include "ui/layout.hpp"

namespace tollivane::ui {

const ControlLayout* findControl(const WindowLayout& window, std::string_view name) {
  for (const ControlLayout& control : window.controls) {
    if (control.name == name) return &control;
  }
  return nullptr;
}

const MenuEntryLayout* findMenuEntry(const WindowLayout& window, std::string_view name) {
  for (const MenuEntryLayout& entry : window.menu) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

const ControlLayout* defaultButton(const WindowLayout& window) {
  for (const ControlLayout& control : window.controls) {
    if (control.isDefault) return &control;
  }
  return nullptr;
}

const ControlLayout* cancelButton(const WindowLayout& window) {
  for (const ControlLayout& control : window.controls) {
    if (control.isCancel) return &control;
  }
  return nullptr;
}

}  // namespace tollivane::ui
