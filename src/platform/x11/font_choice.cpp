#include "platform/x11/font_choice.hpp"

#include <algorithm>
#include <string_view>

namespace tollivane::platform::x11 {
namespace {

// Character-cell fonts of Latin-1 in every size the server has: xfonts-base's misc-fixed
// families go up to 20 pixels, its Sony font has 24.
constexpr const char* kPatterns[] = {"-misc-fixed-medium-r-*--*-*-*-*-c-*-iso8859-1",
                                     "-sony-fixed-medium-r-normal--*-*-*-*-c-*-iso8859-1"};
constexpr int kMaxNames = 200;

bool scalable(std::string_view name) { return name.find("--0-") != std::string_view::npos; }

}  // namespace

FontChoice::FontChoice(Display* display)
    : display_(display),
      default_(XQueryFont(display, XGContextFromGC(DefaultGC(display, DefaultScreen(display))))) {
  chosen_.reserve(8);
}

FontChoice::~FontChoice() {
  for (Candidate& c : candidates_) {
    if (c.loaded) XFreeFont(display_, c.loaded);
  }
  if (default_) XFreeFontInfo(nullptr, default_, 1);
}

TextFont FontChoice::forText(int pixels, int rectHeight) {
  if (pixels <= 0) {
    if (default_ && default_->ascent <= rectHeight) return defaultFont();
    pixels = rectHeight;
  }
  for (const Chosen& c : chosen_) {
    if (c.pixels == pixels) return c.font;
  }
  const TextFont font = fitting(pixels);
  chosen_.push_back({pixels, font});
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
      candidates_.push_back(
          {names[i], info[i].ascent + info[i].descent, info[i].max_bounds.width, nullptr, false});
    }
    if (names) XFreeFontInfo(names, info, count);
  }
  // Of equal heights the narrowest first: the clock's text is the likelier to fit its width.
  std::sort(candidates_.begin(), candidates_.end(), [](const Candidate& a, const Candidate& b) {
    return a.height != b.height ? a.height < b.height : a.width < b.width;
  });
}

// The tallest font whose cells are at most `pixels` tall, the shortest when none is; the
// default font when the server lists none or loads none.
TextFont FontChoice::fitting(int pixels) {
  listOnce();
  auto tallest = std::find_if(candidates_.rbegin(), candidates_.rend(),
                              [&](const Candidate& c) { return c.height <= pixels && !c.failed; });
  std::vector<Candidate>::iterator choice;
  if (tallest != candidates_.rend()) {
    choice = std::prev(tallest.base());
    // The first of its height: equal heights sort narrowest first.
    while (choice != candidates_.begin() && std::prev(choice)->height == choice->height &&
           !std::prev(choice)->failed) {
      --choice;
    }
  } else {
    choice = std::find_if(candidates_.begin(), candidates_.end(),
                          [](const Candidate& c) { return !c.failed; });
    if (choice == candidates_.end()) return defaultFont();
  }
  if (!choice->loaded) {
    choice->loaded = XLoadQueryFont(display_, choice->name.c_str());
    if (!choice->loaded) {
      choice->failed = true;
      return fitting(pixels);
    }
  }
  return {choice->loaded, choice->loaded->fid};
}

}  // namespace tollivane::platform::x11
