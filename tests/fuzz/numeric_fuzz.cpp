// The numeric text value on any text: never fails and has no undefined behaviour; on a plain
// decimal number it is the correctly rounded double that strtod gives.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/runtime_error.hpp"
#include "common/values.hpp"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Sign, digits, at most one point, an optional exponent with digits: nothing else.
bool isPlainDecimal(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  bool digits = false;
  bool point = false;
  for (; i < s.size(); ++i) {
    if (isDigit(s[i])) {
      digits = true;
    } else if (s[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return false;
  if (i == s.size()) return true;
  if (s[i] != 'e' && s[i] != 'E' && s[i] != 'd' && s[i] != 'D') return false;
  ++i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  if (i == s.size()) return false;
  for (; i < s.size(); ++i) {
    if (!isDigit(s[i])) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(bytes), size);
  const double value = tollivane::numericTextValue(text);
  try {
    (void)tollivane::roundToInt16(value);
    (void)tollivane::roundToInt32(value);
  } catch (const tollivane::RuntimeError& e) {
    if (e.number() != tollivane::kErrOverflow) std::abort();
  }
  if (isPlainDecimal(text)) {
    std::string reference = text;
    for (char& c : reference) {
      if (c == 'd' || c == 'D') c = 'e';
    }
    const double expected = std::strtod(reference.c_str(), nullptr);
    if (!(value == expected && std::signbit(value) == std::signbit(expected))) std::abort();
  }
  return 0;
}
