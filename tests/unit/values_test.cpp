#include "common/values.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/runtime_error.hpp"

namespace tollivane {
namespace {

struct NumericCase {
  const char* text;
  double value;
};

TEST(NumericTextValue, ReadsTheLeadingNumber) {
  const NumericCase cases[] = {
      {"", 0},
      {"abc", 0},
      {"116", 116},
      {"  315", 315},
      {"1 2\t3\n4", 1234},  // blanks, tabs and line feeds are skipped wherever they stand
      {"- 5", -5},
      {"+7", 7},
      {"12abc", 12},
      {"12px", 12},
      {"24.5", 24.5},
      {".5", 0.5},
      {"1.2.3", 1.2},
      {"1,5", 1},  // only a point separates decimals
      {"1e3", 1000},
      {"2D2", 200},
      {"1.5E-1", 0.15},
      {"3e", 3},
      {"3e+", 3},
      {"&HFF", 255},
      {"&hff", 255},
      {"&O17", 15},
      {"&H", 0},
      {"&X1", 0},
      {"-", 0},
      {".", 0},
      {"\r5", 0},  // a carriage return is not skipped
      {"00042", 42},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(numericTextValue(c.text), c.value) << '"' << c.text << '"';
  }
}

TEST(NumericTextValue, IsCorrectlyRoundedAndNeverFails) {
  EXPECT_EQ(numericTextValue("0.1"), 0.1);
  EXPECT_EQ(numericTextValue("639.5"), 639.5);
  EXPECT_TRUE(std::isinf(numericTextValue("1e999")));
  EXPECT_EQ(numericTextValue("1e-999"), 0.0);
  EXPECT_EQ(numericTextValue("0." + std::string(400, '0') + "1"), 0.0);
  EXPECT_TRUE(std::isinf(numericTextValue("0.001e400")));
  EXPECT_EQ(numericTextValue("1000e-330"), 0.0);
  EXPECT_EQ(numericTextValue(std::string(300, '9')), std::stod(std::string(300, '9')));
}

TEST(NumericTextValue, ExponentsOfAnyLengthSaturate) {
  const double inf = std::numeric_limits<double>::infinity();
  const NumericCase cases[] = {
      // Once these wrapped or overflowed a 64-bit exponent sum.
      {"10e99999999999999999999", inf},
      {"-10e99999999999999999999", -inf},
      {"0.5e-99999999999999999999", 0},
      {"1e9223372036854775807", inf},
      {"1e-9223372036854775808", 0},
      {"5e18446744073709551616", inf},
      // The digits before and after the point still count against a huge exponent.
      {"0.000001e-9223372036854775807", 0},
      {"100000e-9223372036854775807", 0},
      // Near the ends of a double's range the conversion itself decides.
      {"1.7976931348623157e308", std::numeric_limits<double>::max()},
      {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
      {"0.00000000000000000001e-310", 0},
      {"1e-400", 0},
      {"0e99999999999999999999", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(numericTextValue(c.text), c.value) << '"' << c.text << '"';
  }
  EXPECT_TRUE(std::isinf(numericTextValue("1" + std::string(400, '0') + "e-50")));
  EXPECT_EQ(numericTextValue("0." + std::string(100'000, '0') + "1e100000"), 0.1);
  EXPECT_EQ(numericTextValue("1" + std::string(100'000, '0') + "e-100000"), 1.0);
}

TEST(Rounding, HalfGoesToTheEvenNeighbour) {
  const std::pair<double, int> cases[] = {{0.5, 0},
                                          {1.5, 2},
                                          {2.5, 2},
                                          {3.5, 4},
                                          {-0.5, 0},
                                          {-1.5, -2},
                                          {-2.5, -2},
                                          {24.5, 24},
                                          {25.5, 26},
                                          {0.4, 0},
                                          {-0.4, 0},
                                          {639.5, 640},
                                          {0.49999999999999994, 0},
                                          {32767.4, 32767},
                                          {-32768.5, -32768}};
  for (const auto& [value, expected] : cases) {
    EXPECT_EQ(roundToInt16(value), expected) << value;
    EXPECT_EQ(roundToInt32(value), expected) << value;
    EXPECT_EQ(roundToInt32Held(value), expected) << value;
  }
}

TEST(Rounding, OutOfRangeRaisesOverflow) {
  for (const double v :
       {32767.5, 32768.0, -32769.0, 70000.0, std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN()}) {
    try {
      roundToInt16(v);
      ADD_FAILURE() << v << " did not overflow";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), 6);
      EXPECT_EQ(e.description(), "Overflow");
    }
  }
  EXPECT_EQ(roundToInt32(2147483647.0), 2147483647);
  EXPECT_THROW(roundToInt32(2147483647.5), RuntimeError);
  EXPECT_EQ(roundToInt32(-2147483648.5), std::numeric_limits<std::int32_t>::min());
  // Held instead: sizes on the screen stop at the edge of the range.
  EXPECT_EQ(roundToInt32Held(1e12), 2147483647);
  EXPECT_EQ(roundToInt32Held(-std::numeric_limits<double>::infinity()), -2147483647);
  EXPECT_EQ(roundToInt32Held(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(Int16Arithmetic, AdditionIsOverflowChecked) {
  EXPECT_EQ(addInt16(32692, 75), 32767);
  EXPECT_EQ(addInt16(-32768, 75), -32693);
  EXPECT_THROW(addInt16(32693, 75), RuntimeError);
  EXPECT_THROW(addInt16(-32768, -1), RuntimeError);
}

TEST(IntegerText, HasNoBlankAndASignOnlyForNegatives) {
  EXPECT_EQ(integerText(0), "0");
  EXPECT_EQ(integerText(315), "315");
  EXPECT_EQ(integerText(-32768), "-32768");
  EXPECT_EQ(integerText(1234567), "1234567");
}

TEST(Boolean16, TrueIsAllBits) {
  EXPECT_EQ(kTrue, -1);
  EXPECT_EQ(static_cast<std::int16_t>(~kTrue), kFalse);
}

}  // namespace
}  // namespace tollivane
