#include "frontend/win32/win32_controls.hpp"

#include "platform/win32/wide_text.hpp"

namespace tollivane::frontend::win32 {

using platform::win32::narrow;
using platform::win32::widen;

std::string windowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), int(text.size()))));
  return narrow(text);
}

void setWindowText(HWND window, std::string_view text) {
  SetWindowTextW(window, widen(text).c_str());
}

void Win32Panel::setVisible(bool visible) {
  for (HWND window : windows_) ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
}

void Win32MenuEntry::setCaption(std::string_view caption) {
  std::wstring text = widen(caption);
  MENUITEMINFOW item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_STRING;
  item.dwTypeData = text.data();
  SetMenuItemInfoW(menu_, id_, FALSE, &item);
}

bool Win32MenuEntry::checked() const {
  return (GetMenuState(menu_, id_, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void Win32MenuEntry::setChecked(bool checked) {
  CheckMenuItem(menu_, id_, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace tollivane::frontend::win32
