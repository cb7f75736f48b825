#include "platform/sim/sim_pads.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "contract/pad_state_contract.hpp"

namespace tollivane::platform::sim {
namespace {

class SimPadKit final : public contract::Pads {
 public:
  SimPadKit() { pads_.plugIn(2); }
  PadState& pads() override { return pads_; }
  void buttons(std::uint32_t bits, bool down) override {
    down ? pads_.press(2, bits) : pads_.release(2, bits);
  }
  void plugged(bool in) override { in ? pads_.plugIn(2) : pads_.unplug(2); }

 private:
  SimPads pads_;
};

using contract::PadStateContract;
INSTANTIATE_TEST_SUITE_P(Sim, PadStateContract,
                         ::testing::Values(contract::PadStateKit{
                             "Sim", [] { return std::make_unique<SimPadKit>(); }}),
                         contract::padsKitName);

}  // namespace
}  // namespace tollivane::platform::sim
