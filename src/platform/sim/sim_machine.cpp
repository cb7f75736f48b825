#include "platform/sim/sim_machine.hpp"

namespace tollivane::platform::sim {

SimMachine::SimMachine(std::string folder, std::unique_ptr<Files> host, char hostSeparator)
    : keyboard_(clock_),
      files_(std::move(folder), std::move(host), hostSeparator),
      assembly_({keyboard_, surface_, &ownWindow_, files_, pads_}),
      platform_(assembly_.platform(shortcuts_)) {}

void SimMachine::onDraw(std::function<void(const DrawnText&, bool intoOwnWindow)> observer) {
  surface_.onDraw = [observer](const DrawnText& d) {
    if (observer) observer(d, false);
  };
  ownWindow_.drawn().onDraw = [observer = std::move(observer)](const DrawnText& d) {
    if (observer) observer(d, true);
  };
}

}  // namespace tollivane::platform::sim
