// The game controllers the Linux program reads, as this build can: chosen in CMake, so that a
// build without SDL 2 still runs, with no pads.
#pragma once

#include <memory>

#include "platform/platform.hpp"

namespace tollivane {

std::unique_ptr<platform::PadState> makeGamePads();

}  // namespace tollivane
