#include "platform/win32/text_font.hpp"

namespace tollivane::platform::win32 {
namespace {

// A TrueType face, so that any height can be had; bold, as the System font it stands in for.
HFONT create(int cellHeight) {
  return CreateFontW(cellHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                     VARIABLE_PITCH | FF_SWISS, L"Tahoma");
}

int cellHeight(HDC dc, HFONT font) {
  const HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  const bool known = GetTextMetricsW(dc, &metrics) != 0;
  SelectObject(dc, old);
  return known ? metrics.tmHeight : 0;
}

}  // namespace

TextFonts::~TextFonts() {
  for (const Made& m : made_) {
    if (m.font) DeleteObject(m.font);
  }
}

TextFonts::Choice TextFonts::choose(HDC dc, int pixels, int rectHeight) {
  if (pixels <= 0) {
    const auto own = static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
    if (own != ownFont_) {
      TEXTMETRICW metrics{};
      ownFont_ = own;
      ownAscent_ = GetTextMetricsW(dc, &metrics) ? metrics.tmAscent : 0;
    }
    // Digits stand on the baseline: above it they are whole, and the bottom row stays free.
    if (ownAscent_ < rectHeight) return Choice{own, false};
    pixels = rectHeight;
  }
  const HFONT font = sized(pixels);
  return font ? Choice{font, true} : Choice{static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT))};
}

HFONT TextFonts::sized(int pixels) {
  if (pixels < 1) pixels = 1;
  Made* slot = &made_[0];
  for (Made& m : made_) {
    if (m.font && m.pixels == pixels) {
      m.used = ++uses_;
      return m.font;
    }
    if (m.used < slot->used) slot = &m;
  }
  // A face's cells may come out a pixel taller than asked: smaller until they fit.
  const HDC probe = CreateCompatibleDC(nullptr);
  HFONT font = nullptr;
  for (int asked = pixels; asked >= 1 && probe; --asked) {
    font = create(asked);
    if (!font || cellHeight(probe, font) <= pixels) break;
    DeleteObject(font);
    font = nullptr;
  }
  if (probe) DeleteDC(probe);
  if (!font) return nullptr;
  if (slot->font) DeleteObject(slot->font);
  *slot = Made{pixels, font, ++uses_};
  return font;
}

}  // namespace tollivane::platform::win32
