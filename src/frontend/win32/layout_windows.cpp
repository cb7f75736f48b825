#include "frontend/win32/layout_windows.hpp"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "frontend/win32/resources.hpp"
#include "platform/win32/wide_text.hpp"

namespace tollivane::frontend::win32 {
namespace {

using platform::win32::widen;

constexpr int kFirstId = 100;
constexpr int kDialogFontPoints = 8;

COLORREF colorRef(ui::Rgb c) { return RGB(c.r, c.g, c.b); }
std::uint32_t key(ui::Rgb c) { return (std::uint32_t(c.r) << 16) | (c.g << 8) | c.b; }

// A capture box's name may be as long as "CTRL+SHIFT+ALT+F12": the edit's own margins, a
// quarter of the font's width each, would cut its last letter off, so they are one pixel.
void setCaptureMargins(HWND box, int dpi) {
  const int margin = MulDiv(1, dpi, 96);
  SendMessageW(box, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
}

HFONT makeFont(const wchar_t* face, int points, int dpi) {
  return CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, face);
}

struct PanelLook {
  HBRUSH fill;
  COLORREF back;
  COLORREF text;
};

// A coloured panel paints itself: it covers what lies beneath it (the banner), where a
// group box draws only its frame, and its caption takes the panel's colours.
LRESULT CALLBACK panelProc(HWND panel, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR data) {
  auto* look = reinterpret_cast<PanelLook*>(data);
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(panel, &paint);
      RECT client;
      GetClientRect(panel, &client);
      FillRect(dc, &client, look->fill);
      HGDIOBJ oldFont =
          SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(panel, WM_GETFONT, 0, 0)));
      TEXTMETRICW metrics;
      GetTextMetricsW(dc, &metrics);
      RECT frame = client;
      frame.top += metrics.tmHeight / 2;
      DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
      wchar_t caption[128];
      const int length = GetWindowTextW(panel, caption, 128);
      if (length > 0) {
        // Over the frame's top line, with a blank either side, as a group box draws it.
        const std::wstring padded = L" " + std::wstring(caption, std::size_t(length)) + L" ";
        RECT text{metrics.tmAveCharWidth, 0, client.right - metrics.tmAveCharWidth,
                  metrics.tmHeight};
        SetTextColor(dc, look->text);
        SetBkColor(dc, look->back);
        SetBkMode(dc, OPAQUE);
        DrawTextW(dc, padded.c_str(), static_cast<int>(padded.size()), &text,
                  DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP);
      }
      SelectObject(dc, oldFont);
      EndPaint(panel, &paint);
      return 0;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(panel, panelProc, 1);
      delete look;
      break;
    default:
      break;
  }
  return DefSubclassProc(panel, message, w, l);
}

}  // namespace

LayoutWindows::LayoutWindows(const ui::WindowLayout& layout, HWND window, int dpi)
    : layout_(layout), window_(window), dpi_(dpi) {
  makeFonts();
  if (layout.background) background_ = brush(*layout.background);
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
  DeleteObject(font_);
  DeleteObject(captureFont_);
  for (auto& [colour, b] : brushes_) DeleteObject(b);
  for (HANDLE image : images_) DeleteObject(image);
}

void LayoutWindows::makeFonts() {
  font_ = makeFont(L"MS Shell Dlg", kDialogFontPoints, dpi_);
  captureFont_ =
      makeFont(widen(ui::kCaptureBoxLook.fontFace).c_str(), ui::kCaptureBoxLook.fontPoints, dpi_);
}

void LayoutWindows::rescale(int dpi) {
  if (dpi == dpi_) return;
  dpi_ = dpi;
  HFONT oldFont = font_, oldCaptureFont = captureFont_;
  makeFonts();
  for (const Built& b : built_) {
    const ui::ControlLayout& c = *b.layout;
    const bool capture = c.kind == ui::ControlKind::HotKeyCapture;
    SendMessageW(b.window, WM_SETFONT, reinterpret_cast<WPARAM>(capture ? captureFont_ : font_),
                 FALSE);
    if (capture) setCaptureMargins(b.window, dpi);
    SetWindowPos(
        b.window, nullptr, ui::twipsToPixels(b.left, dpi), ui::twipsToPixels(b.top, dpi),
        ui::twipsToPixels(c.width, dpi), ui::twipsToPixels(c.height, dpi),
        SWP_NOZORDER | SWP_NOACTIVATE | (c.kind == ui::ControlKind::Picture ? SWP_NOSIZE : 0));
  }
  DeleteObject(oldFont);
  DeleteObject(oldCaptureFont);
  InvalidateRect(window_, nullptr, TRUE);
}

HBRUSH LayoutWindows::brush(ui::Rgb colour) {
  auto& slot = brushes_[key(colour)];
  if (slot == nullptr) slot = CreateSolidBrush(colorRef(colour));
  return slot;
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
  HFONT font = font_;
  switch (c.kind) {
    case ui::ControlKind::Panel:
      className = L"BUTTON";
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
      className = L"EDIT";
      style |= WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY;
      exStyle |= WS_EX_CLIENTEDGE;
      font = captureFont_;
      break;
  }
  const bool picture = c.kind == ui::ControlKind::Picture;
  HWND control = CreateWindowExW(
      exStyle, className, picture ? L"" : caption.c_str(), style,
      ui::twipsToPixels(x + c.left, dpi_), ui::twipsToPixels(y + c.top, dpi_),
      ui::twipsToPixels(c.width, dpi_), ui::twipsToPixels(c.height, dpi_), window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (control == nullptr) throw std::runtime_error("cannot create " + std::string(c.name));
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (c.kind == ui::ControlKind::HotKeyCapture) setCaptureMargins(control, dpi_);
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
  if (c.kind == ui::ControlKind::Panel && c.background) {
    const COLORREF text = c.foreground ? colorRef(*c.foreground) : GetSysColor(COLOR_WINDOWTEXT);
    SetWindowSubclass(control, panelProc, 1,
                      reinterpret_cast<DWORD_PTR>(
                          new PanelLook{brush(*c.background), colorRef(*c.background), text}));
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

std::optional<ui::Rgb> LayoutWindows::backgroundOf(const ui::ControlLayout& c) const {
  if (c.kind == ui::ControlKind::HotKeyCapture) return ui::kCaptureBoxLook.background;
  if (c.background && !c.transparent) return c.background;
  if (!c.parent.empty()) {
    if (const ui::ControlLayout* parent = ui::findControl(layout_, c.parent)) {
      return backgroundOf(*parent);
    }
  }
  return layout_.background;
}

HBRUSH LayoutWindows::colours(HWND window, HDC dc) const {
  const ui::ControlLayout* c = find(window);
  if (c == nullptr) return nullptr;
  const auto back = backgroundOf(*c);
  auto fore = c->kind == ui::ControlKind::HotKeyCapture ? ui::kCaptureBoxLook.text : c->foreground;
  if (!back && !fore) return nullptr;
  if (fore) SetTextColor(dc, colorRef(*fore));
  if (!back) {
    SetBkMode(dc, TRANSPARENT);
    return GetSysColorBrush(COLOR_BTNFACE);
  }
  SetBkColor(dc, colorRef(*back));
  if (c->transparent) SetBkMode(dc, TRANSPARENT);
  return const_cast<LayoutWindows*>(this)->brush(*back);
}

}  // namespace tollivane::frontend::win32
