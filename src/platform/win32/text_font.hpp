// The font the overlay's text is drawn in, one set for the program, shared by drawing onto the
// game and the window of our own so that both look the same: the context's own font while the
// clock fits the rectangle in it, otherwise one of ours sized to the rectangle, both by the
// rule of text_fit.hpp.
#pragma once

#include <windows.h>

#include <array>

namespace tollivane::platform::win32 {

class TextFonts {
 public:
  TextFonts() = default;
  ~TextFonts();
  TextFonts(const TextFonts&) = delete;
  TextFonts& operator=(const TextFonts&) = delete;

  struct Choice {
    HFONT font = nullptr;  // the font the text is drawn in
    bool ours = false;     // one of ours, to select for the text and take out again
  };
  // For text in a rectangle `rectWidth` x `rectHeight` drawn into `dc`, `pixels` as
  // setTextHeight gave it (0: fit the rectangle). A font of ours stays valid at least until
  // eight other sizes have been chosen.
  Choice choose(HDC dc, int pixels, int rectHeight, int rectWidth);

  // Ours: the largest whose clock fits `pixels` x `width`, made once per size.
  HFONT sized(int pixels, int width);

 private:
  struct Made {
    int pixels = 0;
    int width = 0;
    HFONT font = nullptr;
    unsigned used = 0;
  };
  // Sizes change only with the window's: a few are kept, the least used made again.
  std::array<Made, 8> made_{};
  unsigned uses_ = 0;
  // The last context font looked at, and whether the clock fits in it, to ask only once.
  HFONT ownFont_ = nullptr;
  int ownAscent_ = 0;
  int ownWidth_ = 0;
};

// The program's one set.
TextFonts& textFonts();

}  // namespace tollivane::platform::win32
