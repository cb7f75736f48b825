// A window's timer on the simulated machine's virtual time.
#pragma once

#include "app/window_controls.hpp"
#include "platform/sim/sim_clock.hpp"

namespace tollivane::frontend::sim {

class SimTimer final : public app::Timer, public platform::sim::SimTicker {
 public:
  using SimTicker::SimTicker;

  void setInterval(int milliseconds) override { SimTicker::setInterval(milliseconds); }
  void setEnabled(bool on) override { SimTicker::setEnabled(on); }
  bool enabled() const override { return SimTicker::enabled(); }
  int interval() const override { return SimTicker::interval(); }
};

}  // namespace tollivane::frontend::sim
