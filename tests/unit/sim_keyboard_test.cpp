#include "platform/sim/sim_keyboard.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "contract/key_state_contract.hpp"
#include "platform/sim/sim_clock.hpp"

namespace tollivane::platform::sim {
namespace {

class SimKeys final : public contract::Keyboard {
 public:
  KeyState& keys() override { return keys_; }
  void key(int vk, bool down) override {
    if (down) held_.insert(vk);
    if (!down) held_.erase(vk);
    keys_.hold(std::vector<int>(held_.begin(), held_.end()));
  }
  // The simulation's held keys read only bit 15: bit 0 is what a tap sets.
  void tap(int vk) override { keys_.tap(vk); }
  void pause(std::chrono::milliseconds time) override { clock_.advance(time.count()); }
  std::chrono::milliseconds age() override { return std::chrono::milliseconds(clock_.now()); }

 private:
  SimClock clock_;
  SimKeyboard keys_{clock_};
  std::set<int> held_;
};

using contract::KeyStateContract;
INSTANTIATE_TEST_SUITE_P(Sim, KeyStateContract,
                         ::testing::Values(contract::KeyStateKit{
                             "Sim", [] { return std::make_unique<SimKeys>(); }}),
                         contract::keysKitName);

std::uint16_t state(SimKeyboard& keys, int code) {
  return static_cast<std::uint16_t>(keys.GetAsyncKeyState(static_cast<std::int16_t>(code)));
}

TEST(SimKeyboard, HeldKeysReadDownUntilReleased) {
  SimClock clock;
  SimKeyboard keys(clock);
  keys.hold({16, 116});
  EXPECT_EQ(state(keys, 16), 0x8001);
  EXPECT_EQ(state(keys, 116), 0x8000);
  EXPECT_EQ(state(keys, 116), 0x8000);
  EXPECT_EQ(state(keys, 117), 0);
  keys.hold({117});
  EXPECT_EQ(state(keys, 116), 0);
  EXPECT_EQ(state(keys, 117), 0x8000);
  keys.hold({});
  EXPECT_EQ(state(keys, 117), 0);
}

TEST(SimKeyboard, TapShowsOnceAtTheNextQueryOfThatKey) {
  SimClock clock;
  SimKeyboard keys(clock);
  state(keys, 116);
  keys.tap(116);
  EXPECT_EQ(state(keys, 117), 0);
  EXPECT_EQ(state(keys, 116), 0x0001);
  EXPECT_EQ(state(keys, 116), 0);
  keys.hold({116});
  keys.tap(116);
  EXPECT_EQ(state(keys, 116), 0x8001);
  EXPECT_EQ(state(keys, 116), 0x8000);
}

TEST(SimKeyboard, CodesNamingNoKeyReadZero) {
  SimClock clock;
  SimKeyboard keys(clock);
  const int codes[] = {0, -1, -32768, 255, 256, 32767};
  keys.hold(codes);
  for (int code : codes) {
    keys.tap(code);
    EXPECT_EQ(state(keys, code), 0) << code;
    EXPECT_FALSE(keys.held(code)) << code;
  }
  keys.hold({1, 254});
  EXPECT_EQ(state(keys, 1), 0x8000);
  EXPECT_EQ(state(keys, 254), 0x8000);
}

TEST(SimKeyboard, CountsEveryQuery) {
  SimClock clock;
  SimKeyboard keys(clock);
  for (int code : {0, 16, 300, 116}) state(keys, code);
  EXPECT_EQ(keys.queries(), 4u);
}

}  // namespace
}  // namespace tollivane::platform::sim
