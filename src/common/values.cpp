#include "common/values.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "common/runtime_error.hpp"

namespace tollivane {
namespace {

bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Yields the characters of a text with blanks, tabs and line feeds left out.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) { skip(); }
  bool done() const { return pos_ >= text_.size(); }
  char peek() const { return done() ? '\0' : text_[pos_]; }
  void next() {
    ++pos_;
    skip();
  }

 private:
  void skip() {
    while (pos_ < text_.size() && isSkipped(text_[pos_])) ++pos_;
  }
  std::string_view text_;
  std::size_t pos_ = 0;
};

int digitValue(char c, int radix) {
  int v = -1;
  if (isDigit(c)) v = c - '0';
  if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v < radix ? v : -1;
}

double radixValue(Reader& in, int radix) {
  double value = 0;
  for (int d; (d = digitValue(in.peek(), radix)) >= 0; in.next()) value = value * radix + d;
  return value;
}

// The power of ten of the first significant digit: 0 for 1.5, 2 for 150, -4 for 0.00015.
long decimalExponent(const std::string& number) {
  const auto expAt = number.find('e');
  long exponent =
      expAt == std::string::npos ? 0 : std::strtol(number.c_str() + expAt + 1, nullptr, 10);
  const std::string mantissa = number.substr(0, expAt);
  const auto point = std::min(mantissa.find('.'), mantissa.size());
  const auto first = mantissa.find_first_of("123456789");
  if (first == std::string::npos) return 0;
  if (first < point) return exponent + static_cast<long>(point - first - 1);
  return exponent - static_cast<long>(first - point);
}

}  // namespace

double numericTextValue(std::string_view text) {
  Reader in(text);
  if (in.peek() == '&') {
    in.next();
    const char kind = in.peek();
    if (kind == 'H' || kind == 'h') {
      in.next();
      return radixValue(in, 16);
    }
    if (kind == 'O' || kind == 'o') {
      in.next();
      return radixValue(in, 8);
    }
    return 0;
  }

  // Collect the accepted characters in plain form, then convert once so that the
  // result is the correctly rounded double whatever the locale.
  std::string number;
  bool negative = false;
  if (in.peek() == '+' || in.peek() == '-') {
    negative = in.peek() == '-';
    in.next();
  }
  bool anyDigit = false;
  for (bool point = false;; in.next()) {
    const char c = in.peek();
    if (isDigit(c)) {
      anyDigit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
    number += c;
  }
  if (!anyDigit) return 0;
  const char e = in.peek();
  if (e == 'e' || e == 'E' || e == 'd' || e == 'D') {
    in.next();
    std::string exponent = "e";
    if (in.peek() == '+' || in.peek() == '-') {
      exponent += in.peek();
      in.next();
    }
    bool expDigit = false;
    for (; isDigit(in.peek()); in.next()) {
      exponent += in.peek();
      expDigit = true;
    }
    if (expDigit) number += exponent;
  }

  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                         std::chars_format::general);
  (void)end;
  if (ec == std::errc::result_out_of_range) {
    // Too large becomes infinite (and later "Overflow"); too small is 0.
    value = decimalExponent(number) < 0 ? 0.0 : std::numeric_limits<double>::infinity();
  }
  return negative ? -value : value;
}

namespace {

// Nearest integer, a half going to the even neighbour, whatever the rounding mode.
double roundHalfEven(double value) {
  const double lower = std::floor(value);
  const double fraction = value - lower;
  if (fraction > 0.5) return lower + 1;
  if (fraction < 0.5) return lower;
  return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1;
}

template <class Int>
Int roundTo(double value) {
  if (std::isnan(value)) raiseOverflow();
  const double r = roundHalfEven(value);
  if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
      r > static_cast<double>(std::numeric_limits<Int>::max())) {
    raiseOverflow();
  }
  return static_cast<Int>(r);
}

}  // namespace

std::int16_t roundToInt16(double value) { return roundTo<std::int16_t>(value); }
std::int32_t roundToInt32(double value) { return roundTo<std::int32_t>(value); }

std::int16_t addInt16(std::int16_t a, std::int16_t b) {
  const int sum = a + b;
  if (sum < std::numeric_limits<std::int16_t>::min() ||
      sum > std::numeric_limits<std::int16_t>::max()) {
    raiseOverflow();
  }
  return static_cast<std::int16_t>(sum);
}

std::string integerText(std::int64_t value) {
  char buffer[24];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)ec;
  return std::string(buffer, end);
}

}  // namespace tollivane
