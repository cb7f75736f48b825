#include "frontend/win32/layout_windows.hpp"

#include <algorithm>
#include <stdexcept>

#include "frontend/win32/capture_box.hpp"
#include "frontend/win32/panel_paint.hpp"
#include "frontend/win32/resources.hpp"
#include "platform/win32/wide_text.hpp"

namespace tollivane::frontend::win32 {
namespace {

using platform::win32::widen;

constexpr int kFirstId = 100;

}  // namespace

LayoutWindows::LayoutWindows(const ui::WindowLayout& layout, HWND window, int dpi)
    : layout_(layout), window_(window), fonts_(dpi), colours_(layout) {
  // Created in focus order, which is the order Tab follows.
  std::vector<const ui::ControlLayout*> order;
  for (const auto& c : layout.controls) order.push_back(&c);
  std::stable_sort(order.begin(), order.end(), [](const auto* a, const auto* b) {
    return a->tabIndex.value_or(1 << 20) < b->tabIndex.value_or(1 << 20);
  });
  for (const auto* c : order) {
    int x = 0, y = 0;
    if (!c->parent.empty()) {
      const ui::ControlLayout* parent = ui::findControl(layout, c->parent);
      if (parent == nullptr) throw std::logic_error("no parent " + std::string(c->parent));
      x = parent->left;
      y = parent->top;
    }
    build(*c, x, y);
  }
  // Beneath everything: the panels, and beneath them the window's own pictures, which they
  // cover.
  for (const Built& b : built_) {
    if (b.layout->kind == ui::ControlKind::Panel) {
      SetWindowPos(b.window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  // A picture inside a panel lies on it instead.
  for (const Built& b : built_) {
    if (b.layout->kind == ui::ControlKind::Picture) {
      SetWindowPos(b.window, b.layout->parent.empty() ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

LayoutWindows::~LayoutWindows() {
  for (const Built& b : built_) DestroyWindow(b.window);
  for (HANDLE image : images_) DeleteObject(image);
}

void LayoutWindows::rescale(int dpi) {
  if (dpi == fonts_.dpi()) return;
  DpiFonts fonts(dpi);
  for (const Built& b : built_) {
    const ui::ControlLayout& c = *b.layout;
    fonts.apply(b.window, c.kind);
    SetWindowPos(
        b.window, nullptr, ui::twipsToPixels(b.left, dpi), ui::twipsToPixels(b.top, dpi),
        ui::twipsToPixels(c.width, dpi), ui::twipsToPixels(c.height, dpi),
        SWP_NOZORDER | SWP_NOACTIVATE | (c.kind == ui::ControlKind::Picture ? SWP_NOSIZE : 0));
  }
  // The old fonts go with `fonts`, now that no control uses them.
  fonts_.swap(fonts);
  InvalidateRect(window_, nullptr, TRUE);
}

void LayoutWindows::build(const ui::ControlLayout& c, int x, int y) {
  const int id = kFirstId + static_cast<int>(built_.size());
  const std::wstring caption = widen(c.caption);
  const wchar_t* className = L"STATIC";
  // What a hidden panel holds starts hidden with it.
  const ui::ControlLayout* parent = c.parent.empty() ? nullptr : ui::findControl(layout_, c.parent);
  const bool visible = c.visible && (parent == nullptr || parent->visible);
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
  DWORD exStyle = 0;
  switch (c.kind) {
    case ui::ControlKind::Panel:
      className = c.background ? colouredPanelClass() : L"BUTTON";
      style |= BS_GROUPBOX;
      break;
    case ui::ControlKind::Picture:
      style |= c.caption == "icon" ? SS_ICON : SS_BITMAP;
      break;
    case ui::ControlKind::Label:
      style |= c.multiLine ? SS_LEFT : SS_LEFTNOWORDWRAP;
      style |= SS_NOPREFIX;
      break;
    case ui::ControlKind::TextBox:
      className = L"EDIT";
      style |= WS_TABSTOP | ES_AUTOHSCROLL;
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    case ui::ControlKind::Button:
      className = L"BUTTON";
      style |= WS_TABSTOP | (c.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      if (c.isDefault) defaultId_ = id;
      if (c.isCancel) cancelId_ = id;
      break;
    case ui::ControlKind::HotKeyCapture:
      className = captureBoxClass();
      style |= WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY;
      exStyle |= WS_EX_CLIENTEDGE;
      break;
  }
  const bool picture = c.kind == ui::ControlKind::Picture;
  const int dpi = fonts_.dpi();
  HWND control = CreateWindowExW(
      exStyle, className, picture ? L"" : caption.c_str(), style,
      ui::twipsToPixels(x + c.left, dpi), ui::twipsToPixels(y + c.top, dpi),
      ui::twipsToPixels(c.width, dpi), ui::twipsToPixels(c.height, dpi), window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (control == nullptr) throw std::runtime_error("cannot create " + std::string(c.name));
  fonts_.apply(control, c.kind);
  if (picture) {
    // At its natural size, unscaled, as it was drawn.
    const bool icon = c.caption == "icon";
    HANDLE image = LoadImageW(GetModuleHandleW(nullptr),
                              MAKEINTRESOURCEW(icon ? TOLLIVANE_ICON : TOLLIVANE_BANNER),
                              icon ? IMAGE_ICON : IMAGE_BITMAP, 0, 0, icon ? LR_DEFAULTSIZE : 0);
    if (image != nullptr && !icon) images_.push_back(image);
    SendMessageW(control, STM_SETIMAGE, icon ? IMAGE_ICON : IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(image));
  }
  built_.push_back({&c, control, id, x + c.left, y + c.top});
}

HWND LayoutWindows::window(std::string_view name) const {
  for (const Built& b : built_) {
    if (b.layout->name == name) return b.window;
  }
  throw std::logic_error("no control " + std::string(name));
}

const ui::ControlLayout* LayoutWindows::control(int id) const {
  const int index = id - kFirstId;
  if (index < 0 || index >= static_cast<int>(built_.size())) return nullptr;
  return built_[static_cast<std::size_t>(index)].layout;
}

const ui::ControlLayout* LayoutWindows::find(HWND window) const {
  for (const Built& b : built_) {
    if (b.window == window) return b.layout;
  }
  return nullptr;
}

std::vector<HWND> LayoutWindows::panelContents(std::string_view panel) const {
  std::vector<HWND> windows;
  for (const Built& b : built_) {
    if (b.layout->name == panel || b.layout->parent == panel) windows.push_back(b.window);
  }
  return windows;
}

HBRUSH LayoutWindows::colours(HWND window, HDC dc) const {
  const ui::ControlLayout* c = find(window);
  return c != nullptr ? colours_.answer(*c, dc) : nullptr;
}

}  // namespace tollivane::frontend::win32
