// The stopwatch's clock: elapsed time counted in 0.2 s ticks, summed in single precision,
// and its text "hh : mm : ss".
#pragma once

#include <cstdint>
#include <string>

namespace tollivane::stopwatch {

// One counting tick: the sum is formed in double precision and rounded to single.
float addTick(float elapsedSeconds);

// Writes the clock text for the elapsed time rounded to whole seconds (half to even).
// Reuses `out`'s storage: no allocation once its capacity holds the text.
void formatClockText(float elapsedSeconds, std::string& out);

struct StopwatchFields {
  float& ElapsedSeconds;
  std::int16_t& IsRunning;
  std::string& TimeText;
};

// The counting step of each 200 ms tick, after the poll.
void countingStep(const StopwatchFields& f);

}  // namespace tollivane::stopwatch
