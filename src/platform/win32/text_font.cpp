#include "platform/win32/text_font.hpp"

#include "platform/text_fit.hpp"

namespace tollivane::platform::win32 {
namespace {

// A TrueType face, so that any height can be had; bold, as the System font it stands in for.
HFONT create(int cellHeight) {
  return CreateFontW(cellHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                     VARIABLE_PITCH | FF_SWISS, L"Tahoma");
}

// The font selected into `dc`.
FontMeasure measure(HDC dc) {
  TEXTMETRICW metrics{};
  SIZE extent{};
  if (!GetTextMetricsW(dc, &metrics) ||
      !GetTextExtentPoint32A(dc, kWidestClockText.data(), static_cast<int>(kWidestClockText.size()),
                             &extent)) {
    return {1 << 30, 0, 1 << 30};  // unknown: fits nothing
  }
  return {metrics.tmAscent, metrics.tmDescent, extent.cx};
}

}  // namespace

TextFonts::~TextFonts() {
  for (const Made& m : made_) {
    if (m.font) DeleteObject(m.font);
  }
}

TextFonts& textFonts() {
  static TextFonts fonts;
  return fonts;
}

TextFonts::Choice TextFonts::choose(HDC dc, int pixels, int rectHeight, int rectWidth) {
  if (pixels <= 0) {
    const auto own = static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
    if (own != ownFont_) {
      const FontMeasure m = measure(dc);
      ownFont_ = own;
      ownAscent_ = m.ascent;
      ownWidth_ = m.width;
    }
    if (fits({ownAscent_, 0, ownWidth_}, rectHeight, rectWidth)) return Choice{own, false};
    pixels = rectHeight;
  }
  const HFONT font = sized(pixels, rectWidth);
  return font ? Choice{font, true} : Choice{static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT))};
}

HFONT TextFonts::sized(int pixels, int width) {
  if (pixels < 1) pixels = 1;
  Made* slot = &made_[0];
  for (Made& m : made_) {
    if (m.font && m.pixels == pixels && m.width == width) {
      m.used = ++uses_;
      return m.font;
    }
    if (m.used < slot->used) slot = &m;
  }
  // Cells taller than the digits: from half as tall again, smaller until the clock fits; the
  // smallest when none does.
  const HDC probe = CreateCompatibleDC(nullptr);
  HFONT font = nullptr;
  for (int asked = pixels + pixels / 2; asked >= 1 && probe; --asked) {
    font = create(asked);
    if (!font) break;
    const HGDIOBJ old = SelectObject(probe, font);
    const bool fit = fits(measure(probe), pixels, width);
    SelectObject(probe, old);
    if (fit || asked == 1) break;
    DeleteObject(font);
    font = nullptr;
  }
  if (probe) DeleteDC(probe);
  if (!font) return nullptr;
  if (slot->font) DeleteObject(slot->font);
  *slot = Made{pixels, width, font, ++uses_};
  return font;
}

}  // namespace tollivane::platform::win32
