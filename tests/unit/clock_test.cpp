#include "stopwatch/clock.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

namespace tollivane::stopwatch {
namespace {

struct ClockRow {
  std::uint32_t tick;
  std::uint32_t bits;
  const char* text;
};

// Counting from a start: tick 1 is the tick in which start fires.
constexpr ClockRow kReference[] = {
    {1, 0x3E4CCCCD, "00 : 00 : 00"},          {2, 0x3ECCCCCD, "00 : 00 : 00"},
    {3, 0x3F19999A, "00 : 00 : 01"},          {5, 0x3F800000, "00 : 00 : 01"},
    {298, 0x426E668F, "00 : 01 : 00"},        {8073, 0x44C9CFFF, "00 : 26 : 54"},
    {18000, 0x4560F6A5, "00 : 59 : 59"},      {18001, 0x4560F9D8, "01 : 00 : 00"},
    {36000, 0x45E11299, "02 : 00 : 02"},      {432000, 0x47A906D9, "24 : 02 : 22"},
    {18073720, 0x4A800000, "1165 : 05 : 04"},
};

TEST(Clock, CountingReproducesTheReferenceTableBitForBit) {
  float elapsed = 0.0f;
  std::int16_t running = -1;
  std::string text;
  std::uint32_t tick = 0;
  for (const ClockRow& row : kReference) {
    while (tick < row.tick) {
      countingStep({elapsed, running, text});
      ++tick;
    }
    EXPECT_EQ(std::bit_cast<std::uint32_t>(elapsed), row.bits) << "tick " << row.tick;
    EXPECT_EQ(text, row.text) << "tick " << row.tick;
  }
}

TEST(Clock, StandsStillAtTwoToTheTwentySecond) {
  const float top = 4194304.0f;
  EXPECT_EQ(addTick(top), top);
  EXPECT_EQ(addTick(1048576.0f), 1048576.25f);
}

TEST(Clock, TextRoundsToTheNearestSecondAndGrowsInHours) {
  const std::pair<float, const char*> cases[] = {
      {0.0f, "00 : 00 : 00"},    {0.5f, "00 : 00 : 00"},  {1.5f, "00 : 00 : 02"},
      {3725.0f, "01 : 02 : 05"}, {59.5f, "00 : 01 : 00"}, {360000.0f, "100 : 00 : 00"},
      {3599.4f, "00 : 59 : 59"},
  };
  std::string text;
  for (const auto& [seconds, expected] : cases) {
    formatClockText(seconds, text);
    EXPECT_EQ(text, expected) << seconds;
  }
}

TEST(Clock, StoppedCountingChangesNothing) {
  float elapsed = 12.0f;
  std::int16_t running = 0;
  std::string text = "kept";
  countingStep({elapsed, running, text});
  EXPECT_EQ(elapsed, 12.0f);
  EXPECT_EQ(text, "kept");
}

}  // namespace
}  // namespace tollivane::stopwatch
