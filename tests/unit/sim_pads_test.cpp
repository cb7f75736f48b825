#include "platform/sim/sim_pads.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "contract/pad_state_contract.hpp"

namespace tollivane::platform::sim {
namespace {

// Slots from 1 up, as the scenarios number them; the contract's pads from 0.
class SimPadKit final : public contract::Pads {
 public:
  PadState& state() override { return pads_; }
  int attach() override {
    int pad = 0;
    while (used_[pad]) ++pad;
    used_[pad] = true;
    pads_.plugIn(pad + 1);
    return pad;
  }
  void detach(int pad) override {
    used_[pad] = false;
    pads_.unplug(pad + 1);
  }
  void hold(int pad, std::uint32_t buttons) override {
    pads_.release(pad + 1, ~buttons);
    pads_.press(pad + 1, buttons);
  }
  void trigger(int pad, bool right, double depth) override {
    const std::uint32_t bit = right ? 0x20000 : 0x10000;
    depth > 0.5 ? pads_.press(pad + 1, bit) : pads_.release(pad + 1, bit);
  }

 private:
  SimPads pads_;
  bool used_[SimPads::kSlots] = {};
};

using contract::PadStateContract;
INSTANTIATE_TEST_SUITE_P(Sim, PadStateContract,
                         ::testing::Values(contract::PadsKit{
                             "Sim", [] { return std::make_unique<SimPadKit>(); }}),
                         contract::padsKitName);

}  // namespace
}  // namespace tollivane::platform::sim
