// Which core font the clock's text is drawn in, shared by drawing onto the window in front and
// the window of our own, so that both look the same. The server's default font as long as the
// text fits in it; otherwise the tallest fixed font the server has that fits the height asked
// for. Fonts are listed once, loaded once per height and kept until the end.
#pragma once

#include <string>
#include <vector>

#include <X11/Xlib.h>

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

  // For text whose cells are to be at most `pixels` tall, drawn at the top of a rectangle
  // `rectHeight` tall. 0: the default font when its characters above the baseline fit the
  // rectangle, else one that fits it whole.
  TextFont forText(int pixels, int rectHeight);
  TextFont defaultFont() const { return {default_, 0}; }

 private:
  struct Candidate {
    std::string name;
    int height = 0;  // ascent + descent
    int width = 0;
    XFontStruct* loaded = nullptr;
    bool failed = false;
  };
  struct Chosen {
    int pixels;
    TextFont font;
  };

  TextFont fitting(int pixels);
  void listOnce();

  Display* display_;
  XFontStruct* default_;
  bool listed_ = false;
  std::vector<Candidate> candidates_;  // shortest first
  std::vector<Chosen> chosen_;
};

}  // namespace tollivane::platform::x11
