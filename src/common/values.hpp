// The shared value rules: numeric text value, half-even rounding into 16 and 32 bits,
// 16-bit Booleans and integer text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tollivane {

// 16-bit Boolean: true is all bits set.
inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

// The number at the start of a text. Blanks, tabs and line feeds are skipped wherever they
// stand; optional sign; digits with at most one "."; an E or D exponent; "&H" hex and "&O"
// octal integers. A comma ends the number. A text without a number gives 0; never fails.
double numericTextValue(std::string_view text);

// Round to nearest, half to even; outside the type's range raises "Overflow" (6).
std::int16_t roundToInt16(double value);
std::int32_t roundToInt32(double value);
// The same rounding held to the 32-bit range, NaN as 0: for sizes on the screen, where a value
// past the range is drawn at its edge instead of ending the frame.
std::int32_t roundToInt32Held(double value);

// a + b as 16-bit signed, raising "Overflow" (6) outside -32768..32767.
std::int16_t addInt16(std::int16_t a, std::int16_t b);

// Decimal digits, "-" before negatives, no blank, no grouping.
std::string integerText(std::int64_t value);

}  // namespace tollivane
