#include "platform/x11/font_choice.hpp"

#include <optional>
#include <string_view>

namespace tollivane::platform::x11 {
namespace {

// Character-cell fonts of Latin-1 in every size the server has: xfonts-base's misc-fixed
// families go up to 20 pixels, its Sony font has 24.
constexpr const char* kPatterns[] = {"-misc-fixed-medium-r-*--*-*-*-*-c-*-iso8859-1",
                                     "-sony-fixed-medium-r-normal--*-*-*-*-c-*-iso8859-1"};
constexpr int kMaxNames = 200;

bool scalable(std::string_view name) { return name.find("--0-") != std::string_view::npos; }

// The measure of a font that failed to load: taller than any rectangle.
constexpr int kFailed = 1 << 30;

FontMeasure measure(XFontStruct* font) {
  return {font->ascent, font->descent,
          XTextWidth(font, kWidestClockText.data(), static_cast<int>(kWidestClockText.size()))};
}

}  // namespace

FontChoice::FontChoice(Display* display)
    : display_(display),
      default_(XQueryFont(display, XGContextFromGC(DefaultGC(display, DefaultScreen(display))))) {
  if (default_) defaultMeasure_ = measure(default_);
  chosen_.reserve(8);
}

FontChoice::~FontChoice() {
  for (Candidate& c : candidates_) {
    if (c.loaded) XFreeFont(display_, c.loaded);
  }
  if (default_) XFreeFontInfo(nullptr, default_, 1);
}

TextFont FontChoice::forText(int pixels, int rectHeight, int rectWidth) {
  if (pixels <= 0) {
    if (default_ && fits(defaultMeasure_, rectHeight, rectWidth)) return defaultFont();
    pixels = rectHeight;
  }
  for (const Chosen& c : chosen_) {
    if (c.pixels == pixels && c.width == rectWidth) return c.font;
  }
  const TextFont font = fitting(pixels, rectWidth);
  // Sizes change only with the window's: the first few are kept.
  if (chosen_.size() < 64) chosen_.push_back({pixels, rectWidth, font});
  return font;
}

void FontChoice::listOnce() {
  if (listed_) return;
  listed_ = true;
  for (const char* pattern : kPatterns) {
    int count = 0;
    XFontStruct* info = nullptr;
    char** names = XListFontsWithInfo(display_, pattern, kMaxNames, &count, &info);
    for (int i = 0; i < count; ++i) {
      if (scalable(names[i])) continue;
      candidates_.push_back({names[i], nullptr, false});
      // Character cells: every character as wide as the widest.
      measures_.push_back({info[i].ascent, info[i].descent,
                           info[i].max_bounds.width * static_cast<int>(kWidestClockText.size())});
    }
    if (names) XFreeFontInfo(names, info, count);
  }
}

// The largest font that fits, the smallest when none does; the default font when the server
// lists none or loads none.
TextFont FontChoice::fitting(int pixels, int width) {
  listOnce();
  std::optional<std::size_t> choice = largestFitting(measures_, pixels, width);
  if (!choice) {
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
      if (candidates_[i].failed) continue;
      if (!choice || measures_[i].ascent + measures_[i].descent <
                         measures_[*choice].ascent + measures_[*choice].descent) {
        choice = i;
      }
    }
    if (!choice) return defaultFont();
  }
  Candidate& chosen = candidates_[*choice];
  if (!chosen.loaded) {
    chosen.loaded = XLoadQueryFont(display_, chosen.name.c_str());
    if (!chosen.loaded) {
      chosen.failed = true;
      measures_[*choice] = {kFailed, 0, 0};
      return fitting(pixels, width);
    }
  }
  return {chosen.loaded, chosen.loaded->fid};
}

}  // namespace tollivane::platform::x11
