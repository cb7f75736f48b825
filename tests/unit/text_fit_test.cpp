#include "platform/text_fit.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace tollivane::platform {
namespace {

// misc-fixed and Sony sizes as an X server lists them: ascent, descent, width of the widest
// clock text in fixed cells.
const std::vector<FontMeasure> kFonts = {{11, 2, 72}, {13, 2, 96},  {14, 4, 108},
                                         {14, 4, 96}, {16, 4, 120}, {20, 4, 144}};

TEST(TextFit, TheLargestSizeWhoseDigitsShowWholeInHeightAndWidth) {
  struct Case {
    int height;
    int width;
    std::optional<std::size_t> chosen;
  };
  for (const Case& c : {
           Case{21, 1000, 5},   // the tallest, by its ascent
           Case{21, 144, 5},    // the width exactly the rectangle's
           Case{20, 1000, 4},   // no row left below the tallest's digits
           Case{21, 112, 3},    // the clock over a 1280 x 720 game: the width decides
           Case{15, 107, 3},    // of equal ascents the narrower
           Case{12, 96, 0},     // a row below the digits
           Case{11, 1000, {}},  // none: too short
           Case{100, 71, {}},   // none: too narrow
       }) {
    EXPECT_EQ(largestFitting(kFonts, c.height, c.width), c.chosen) << c.height << " x " << c.width;
  }
  EXPECT_EQ(largestFitting({}, 100, 100), std::nullopt);
}

}  // namespace
}  // namespace tollivane::platform
