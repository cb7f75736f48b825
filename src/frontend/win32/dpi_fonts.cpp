#include "frontend/win32/dpi_fonts.hpp"

#include <utility>

#include "platform/win32/wide_text.hpp"

namespace tollivane::frontend::win32 {
namespace {

constexpr int kDialogFontPoints = 8;

HFONT makeFont(const wchar_t* face, int points, int dpi) {
  return CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, face);
}

}  // namespace

DpiFonts::DpiFonts(int dpi)
    : dpi_(dpi),
      dialog_(makeFont(L"MS Shell Dlg", kDialogFontPoints, dpi)),
      capture_(makeFont(platform::win32::widen(ui::kCaptureBoxLook.fontFace).c_str(),
                        ui::kCaptureBoxLook.fontPoints, dpi)) {}

DpiFonts::~DpiFonts() {
  DeleteObject(dialog_);
  DeleteObject(capture_);
}

void DpiFonts::swap(DpiFonts& other) noexcept {
  std::swap(dpi_, other.dpi_);
  std::swap(dialog_, other.dialog_);
  std::swap(capture_, other.capture_);
}

void DpiFonts::apply(HWND control, ui::ControlKind kind) const {
  const bool capture = kind == ui::ControlKind::HotKeyCapture;
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(capture ? capture_ : dialog_), FALSE);
  if (!capture) return;
  // A capture box's name may be as long as "CTRL+SHIFT+ALT+F12": the edit's own margins, a
  // quarter of the font's width each, would cut its last letter off, so they are one pixel.
  const int margin = MulDiv(1, dpi_, 96);
  SendMessageW(control, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
}

}  // namespace tollivane::frontend::win32
