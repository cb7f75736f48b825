// The scenario words for game controllers: padin, padout, paddown, padup and padtap.
#pragma once

#include <optional>
#include <span>

#include "frontend/sim/scenario_words.hpp"
#include "platform/sim/sim_pads.hpp"

namespace tollivane::frontend::sim {

// Carries out a pad command: true when done, false when malformed, nothing when the line is
// no pad command.
std::optional<bool> padCommand(std::span<const Word> words, platform::sim::SimPads& pads);

}  // namespace tollivane::frontend::sim
