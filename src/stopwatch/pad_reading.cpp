#include "stopwatch/pad_reading.hpp"

#include <algorithm>

namespace tollivane::stopwatch {

std::optional<std::span<const pad::PadButtons>> PadReading::read(platform::PadState& pads,
                                                                 bool wanted) {
  const bool continues = readLastTick_;
  readLastTick_ = wanted;
  if (!wanted) return std::nullopt;
  const std::size_t count = std::min(pads.readPads(states_), states_.size());
  if (!continues) return std::nullopt;
  return std::span<const pad::PadButtons>(states_.data(), count);
}

}  // namespace tollivane::stopwatch
