#include "frontend/win32/control_colours.hpp"

namespace tollivane::frontend::win32 {
namespace {

COLORREF colorRef(ui::Rgb c) { return RGB(c.r, c.g, c.b); }
std::uint32_t key(ui::Rgb c) { return (std::uint32_t(c.r) << 16) | (c.g << 8) | c.b; }

}  // namespace

ControlColours::ControlColours(const ui::WindowLayout& layout) : layout_(layout) {
  const auto add = [this](ui::Rgb colour) {
    auto& slot = brushes_[key(colour)];
    if (slot == nullptr) slot = CreateSolidBrush(colorRef(colour));
    return slot;
  };
  if (layout.background) background_ = add(*layout.background);
  for (const ui::ControlLayout& c : layout.controls) {
    if (const auto back = backgroundOf(c)) add(*back);
  }
}

ControlColours::~ControlColours() {
  for (auto& [colour, b] : brushes_) DeleteObject(b);
}

HBRUSH ControlColours::brush(ui::Rgb colour) const {
  const auto found = brushes_.find(key(colour));
  return found != brushes_.end() ? found->second : nullptr;
}

std::optional<ui::Rgb> ControlColours::backgroundOf(const ui::ControlLayout& c) const {
  if (c.kind == ui::ControlKind::HotKeyCapture) return ui::kCaptureBoxLook.background;
  if (c.background && !c.transparent) return c.background;
  if (!c.parent.empty()) {
    if (const ui::ControlLayout* parent = ui::findControl(layout_, c.parent)) {
      return backgroundOf(*parent);
    }
  }
  return layout_.background;
}

HBRUSH ControlColours::answer(const ui::ControlLayout& c, HDC dc) const {
  const auto back = backgroundOf(c);
  auto fore = c.kind == ui::ControlKind::HotKeyCapture ? ui::kCaptureBoxLook.text : c.foreground;
  if (!back && !fore) return nullptr;
  if (fore) SetTextColor(dc, colorRef(*fore));
  if (!back) {
    SetBkMode(dc, TRANSPARENT);
    return GetSysColorBrush(COLOR_BTNFACE);
  }
  SetBkColor(dc, colorRef(*back));
  if (c.transparent) SetBkMode(dc, TRANSPARENT);
  return brush(*back);
}

}  // namespace tollivane::frontend::win32
