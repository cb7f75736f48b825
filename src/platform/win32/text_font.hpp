// The font the overlay's text is drawn in, shared by drawing onto the game and the window of
// our own so that both look the same: the context's own font while the digits fit the
// rectangle whole in it, otherwise one of ours sized to the rectangle.
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
  // For text in a rectangle `rectHeight` tall drawn into `dc`, `pixels` as setTextHeight gave
  // it (0: fit the rectangle). A font of ours stays valid at least until the next choice.
  Choice choose(HDC dc, int pixels, int rectHeight);

  // Ours, for tests: the tallest cells that fit `pixels`, made once per height.
  HFONT sized(int pixels);

 private:
  struct Made {
    int pixels = 0;
    HFONT font = nullptr;
    unsigned used = 0;
  };
  // Heights change only with the window's size: a few are kept, the least used made again.
  std::array<Made, 8> made_{};
  unsigned uses_ = 0;
  // The last context font looked at, and whether the digits fit in it, to ask only once.
  HFONT ownFont_ = nullptr;
  int ownAscent_ = 0;
};

}  // namespace tollivane::platform::win32
