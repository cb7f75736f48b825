#include "stopwatch/clock.hpp"

#include <charconv>

#include "common/values.hpp"

namespace tollivane::stopwatch {

float addTick(float elapsedSeconds) {
  // Counted in ticks, not read from a clock: a late tick adds its 0.2 s late.
  return static_cast<float>(static_cast<double>(elapsedSeconds) + 0.2);
}

namespace {

char* appendTwoDigits(char* out, std::int32_t value) {
  if (value < 10) *out++ = '0';
  return std::to_chars(out, out + 11, value).ptr;
}

}  // namespace

void formatClockText(float elapsedSeconds, std::string& out) {
  const std::int32_t n = roundToInt32(elapsedSeconds);
  char buffer[48];
  char* end = appendTwoDigits(buffer, n / 3600);
  for (const char c : {' ', ':', ' '}) *end++ = c;
  end = appendTwoDigits(end, n % 3600 / 60);
  for (const char c : {' ', ':', ' '}) *end++ = c;
  end = appendTwoDigits(end, n % 60);
  out.assign(buffer, end);
}

void countingStep(const StopwatchFields& f) {
  if (f.IsRunning == 0) return;
  f.ElapsedSeconds = addTick(f.ElapsedSeconds);
  formatClockText(f.ElapsedSeconds, f.TimeText);
}

}  // namespace tollivane::stopwatch
