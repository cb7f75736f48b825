#include "platform/sim/sim_machine.hpp"

namespace tollivane::platform::sim {

SimMachine::SimMachine(std::string folder, std::unique_ptr<Files> host, char hostSeparator)
    : keyboard_(clock_),
      files_(std::move(folder), std::move(host), hostSeparator),
      platform_{keyboard_, surface_, files_, surface_, surface_, shortcuts_, pads_} {}

}  // namespace tollivane::platform::sim
