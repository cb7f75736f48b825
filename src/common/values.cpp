#include "common/values.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

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

// Far beyond any exponent a double can take, plus the length of any text: a sum of it and
// a digit count cannot overflow, and clamping to it changes no value that a double can hold.
constexpr long long kExponentLimit = 1'000'000'000'000'000;

long long saturatingAdd(long long a, long long b) {
  return std::clamp(a + std::clamp(b, -kExponentLimit, kExponentLimit), -kExponentLimit,
                    kExponentLimit);
}

// The power of ten of the first significant digit of a mantissa ("1.5", "150", "0.00015"):
// 0, 2 and -4; nothing for a mantissa of zeros.
std::optional<long long> leadingPower(std::string_view mantissa) {
  const auto point = std::min(mantissa.find('.'), mantissa.size());
  const auto first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos) return std::nullopt;
  if (first < point) return static_cast<long long>(point - first - 1);
  return -static_cast<long long>(first - point);
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
  // Read with saturation: an exponent of any length neither overflows nor wraps.
  long long exponent = 0;
  if (e == 'e' || e == 'E' || e == 'd' || e == 'D') {
    in.next();
    bool negativeExponent = false;
    if (in.peek() == '+' || in.peek() == '-') {
      negativeExponent = in.peek() == '-';
      in.next();
    }
    for (; isDigit(in.peek()); in.next()) {
      exponent = std::min(exponent * 10 + (in.peek() - '0'), kExponentLimit);
    }
    if (negativeExponent) exponent = -exponent;
  }

  const auto power = leadingPower(number);
  if (!power) return negative ? -0.0 : 0.0;
  // Decided here, not by the conversion: beyond a double's range, huge is infinite (and later
  // "Overflow") and tiny is 0.
  const long long magnitude = saturatingAdd(*power, exponent);
  if (magnitude > std::numeric_limits<double>::max_exponent10) {
    return negative ? -std::numeric_limits<double>::infinity()
                    : std::numeric_limits<double>::infinity();
  }
  if (magnitude < std::numeric_limits<double>::min_exponent10 - 20) return negative ? -0.0 : 0.0;
  if (exponent != 0) {
    char digits[24] = "e";
    const auto written = std::to_chars(digits + 1, digits + sizeof digits, exponent).ptr;
    number.append(digits, static_cast<std::size_t>(written - digits));
  }

  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                         std::chars_format::general);
  (void)end;
  if (ec == std::errc::result_out_of_range) {
    value = magnitude < 0 ? 0.0 : std::numeric_limits<double>::infinity();
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

std::int32_t roundToInt32Held(double value) {
  if (std::isnan(value)) return 0;
  const double limit = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::clamp(roundHalfEven(value), -limit, limit));
}

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
