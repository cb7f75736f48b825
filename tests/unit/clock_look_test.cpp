#include "platform/clock_look.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace tollivane::platform {
namespace {

constexpr std::uint32_t kInk = 0xC02010;
constexpr std::uint32_t kCell = 0xFFFFFF;
constexpr std::uint32_t kEdge = 0xE09088;  // a blend of the two
constexpr int kWidth = 20;
constexpr int kHeight = 10;

// Text strokes every fourth column, each with a blended edge beside it: 150 solid pixels.
std::uint32_t drawnAt(int x, int) {
  if (x % 4 == 0) return kInk;
  return x % 4 == 1 ? kEdge : kCell;
}

TEST(ClockLook, SolidPixelsDecideWithinOneDistanceAndShare) {
  struct Case {
    const char* name;
    std::function<std::uint32_t(int x, int y, std::uint32_t drawn)> seen;
    ClockSeen expected;
  };
  const Case cases[] = {
      {"identical", [](int, int, std::uint32_t d) { return d; }, ClockSeen::Shown},
      {"another byte above the colour", [](int, int, std::uint32_t d) { return d | 0xFF000000; },
       ClockSeen::Shown},
      {"edges blended otherwise",
       [](int, int, std::uint32_t d) { return d == kEdge ? 0x000000 : d; }, ClockSeen::Shown},
      {"colour within the distance",
       [](int, int, std::uint32_t d) { return d == kInk ? d + 0x000020 : d - 0x200000; },
       ClockSeen::Shown},
      {"colour over the distance", [](int, int, std::uint32_t d) { return d - 0x002100; },
       ClockSeen::PaintedOver},
      // 4 x 3 pixels, 9 of them solid: 6 % of the solid pixels.
      {"a corner covered",
       [](int x, int y, std::uint32_t d) { return x >= 16 && y >= 7 ? 0x404040 : d; },
       ClockSeen::Shown},
      // 15 of 150 solid pixels: a tenth, the most still shown.
      {"the share",
       [](int x, int y, std::uint32_t d) {
         return (x < 10 && y < 2) || (x == 10 && y == 0) ? 0x404040 : d;
       },
       ClockSeen::Shown},
      {"one pixel more",
       [](int x, int y, std::uint32_t d) { return x < 11 && y < 2 ? 0x404040 : d; },
       ClockSeen::PaintedOver},
      {"fully repainted", [](int, int, std::uint32_t) { return 0x3A5F2C; }, ClockSeen::PaintedOver},
  };
  std::vector<std::uint32_t> drawn(kWidth * kHeight), seen(kWidth * kHeight);
  for (const Case& c : cases) {
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        drawn[y * kWidth + x] = drawnAt(x, y);
        seen[y * kWidth + x] = c.seen(x, y, drawnAt(x, y));
      }
    }
    EXPECT_EQ(compareClock({{drawn.data(), kWidth, kHeight, kWidth}, kInk, kCell},
                           {seen.data(), kWidth, kHeight, kWidth}),
              c.expected)
        << c.name;
  }
}

TEST(ClockLook, ComparesOnlyThePartBothCoverAndNothingWithoutSolidPixels) {
  // Rows of 4 of which 3 are compared; the fourth pixel of each row differs.
  const std::uint32_t drawn[] = {kInk, kCell, kInk, kInk, kCell, kCell, kInk, kCell};
  const std::uint32_t seen[] = {kInk, kCell, kInk, 0, kCell, kCell, kInk, 0};
  EXPECT_EQ(compareClock({{drawn, 4, 2, 4}, kInk, kCell}, {seen, 3, 2, 4}), ClockSeen::Shown);
  EXPECT_EQ(compareClock({{drawn, 4, 2, 4}, kInk, kCell}, {seen, 4, 2, 4}), ClockSeen::PaintedOver);
  // Rows without a gap: the last one counts as much as the first.
  const std::uint32_t lastRowGone[] = {kInk, kCell, kInk, kInk, 0, 0, 0, 0};
  EXPECT_EQ(compareClock({{drawn, 4, 2, 4}, kInk, kCell}, {lastRowGone, 4, 2, 4}),
            ClockSeen::PaintedOver);
  EXPECT_EQ(compareClock({{drawn, 4, 2, 4}, kEdge, kEdge}, {seen, 4, 2, 4}), ClockSeen::Unknown);
  EXPECT_EQ(compareClock({{drawn, 0, 0, 0}, kInk, kCell}, {seen, 4, 2, 4}), ClockSeen::Unknown);
}

}  // namespace
}  // namespace tollivane::platform
