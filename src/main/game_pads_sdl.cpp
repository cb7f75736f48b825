#include "game_pads.hpp"

#include "platform/sdl/sdl_pads.hpp"

namespace tollivane {

// Cheap to make: SDL starts at the first read, which comes only once a pad binding is set.
std::unique_ptr<platform::PadState> makeGamePads() {
  return std::make_unique<platform::sdl::SdlPads>();
}

}  // namespace tollivane
