// Which core font the clock's text is drawn in, shared by drawing onto the window in front and
// the window of our own, so that both look the same. The server's default font as long as the
// clock's text fits the rectangle in it; otherwise the largest fixed font the server has that
// fits, by the rule of text_fit.hpp. Fonts are listed once, loaded once per size and kept
// until the end.
#pragma once

#include <string>
#include <vector>

#include <X11/Xlib.h>

#include "platform/text_fit.hpp"

namespace tollivane::platform::x11 {

struct TextFont {
  XFontStruct* metrics = nullptr;  // null: the server has no default font
  Font id = 0;                     // 0: the default font, which every new GC draws with
  friend bool operator==(const TextFont&, const TextFont&) = default;
};

class FontChoice {
 public:
  explicit FontChoice(Display* display);
  ~FontChoice();
  FontChoice(const FontChoice&) = delete;
  FontChoice& operator=(const FontChoice&) = delete;

  // For text whose digits are to be at most `pixels` tall, drawn at the top of a rectangle
  // `rectWidth` x `rectHeight`. 0: the default font when the clock fits the rectangle in it,
  // else one that fits it. The smallest font when none fits.
  TextFont forText(int pixels, int rectHeight, int rectWidth);
  TextFont defaultFont() const { return {default_, 0}; }

 private:
  struct Candidate {
    std::string name;
    XFontStruct* loaded = nullptr;
    bool failed = false;
  };
  struct Chosen {
    int pixels;
    int width;
    TextFont font;
  };

  TextFont fitting(int pixels, int width);
  void listOnce();

  Display* display_;
  XFontStruct* default_;
  bool listed_ = false;
  FontMeasure defaultMeasure_;
  std::vector<Candidate> candidates_;
  std::vector<FontMeasure> measures_;  // of each candidate; a failed one's never fits
  std::vector<Chosen> chosen_;
};

}  // namespace tollivane::platform::x11
