// The pads as one tick reads them: at most once, and only while something needs them.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>

#include "common/pad_buttons.hpp"
#include "platform/platform.hpp"

namespace tollivane::stopwatch {

class PadReading {
 public:
  // Every attached pad's buttons, when `wanted`. Nothing when not wanted, nor at the first
  // reading after a tick that read none: "since the last reading" would then reach back to
  // presses long gone, which must not fire a binding just set.
  std::optional<std::span<const pad::PadButtons>> read(platform::PadState& pads, bool wanted);

 private:
  std::array<pad::PadButtons, pad::kMaxPads> states_{};
  bool readLastTick_ = false;
};

}  // namespace tollivane::stopwatch
