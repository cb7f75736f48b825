#include "game_pads.hpp"

#include "platform/null_backends.hpp"

namespace tollivane {

std::unique_ptr<platform::PadState> makeGamePads() {
  return std::make_unique<platform::NullPadState>();
}

}  // namespace tollivane
