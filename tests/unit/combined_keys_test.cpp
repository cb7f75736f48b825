// Commands read as their binding held through one poll, through the real poller: once each, one
// a poll in the order given, whatever keys and modifiers the bindings share, beside the
// keyboard's keys.
#include "platform/combined_keys.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "contract/key_state_contract.hpp"
#include "platform/sim/sim_clock.hpp"
#include "platform/sim/sim_keyboard.hpp"
#include "stopwatch/hotkey_poller.hpp"

namespace tollivane::platform {
namespace {

using A = stopwatch::HotkeyAction;

struct Keyboard : KeyState, RunObserver {
  std::int16_t GetAsyncKeyState(std::int16_t code) override { return code == held ? -32768 : 0; }
  void runEnds(bool) override { ++runs; }
  std::int16_t held = 0;
  int runs = 0;
};

// The keyboard's promises hold through the composite, with a command and a desktop shortcut
// waiting on a key the contract never presses, so that its own paths run.
class CombinedKit final : public contract::Keyboard {
 public:
  CombinedKit() {
    keys_.pressBinding(kUnused, 0);
    keys_.holdShortcut(0, kUnused, 0, true);
  }
  KeyState& keys() override { return keys_; }
  void key(int vk, bool down) override {
    std::erase(held_, vk);
    if (down) held_.push_back(vk);
    keyboard_.hold(held_);
  }
  void tap(int vk) override { keyboard_.tap(vk); }
  void pause(std::chrono::milliseconds time) override { clock_.advance(time.count()); }
  std::chrono::milliseconds age() override { return std::chrono::milliseconds(clock_.now()); }

 private:
  static constexpr std::int16_t kUnused = 0x87;  // F24
  struct NoRuns : RunObserver {
    void runEnds(bool) override {}
  } runs_;
  sim::SimClock clock_;
  sim::SimKeyboard keyboard_{clock_};
  CombinedKeys keys_{keyboard_, runs_};
  std::vector<int> held_;
};

using contract::KeyStateContract;
INSTANTIATE_TEST_SUITE_P(Combined, KeyStateContract,
                         ::testing::Values(contract::KeyStateKit{
                             "Combined", [] { return std::make_unique<CombinedKit>(); }}),
                         contract::keysKitName);

TEST(CombinedKeys, ACommandFiresItsBindingAtTheNextPollOnly) {
  constexpr std::int16_t kF5 = 116, kF7 = 118;
  constexpr std::array<std::int16_t, 3> kFs{kF5, 117, kF7};
  const struct {
    const char* what;
    std::array<std::int16_t, 3> shifts;
    std::array<std::int16_t, 3> codes;
    std::vector<std::size_t> commands;
    std::int16_t held;  // a key down on the keyboard meanwhile
    std::vector<A> polls;
  } cases[] = {
      {"pause", {0, 0, 0}, kFs, {1}, 0, {A::Pause, A::None}},
      {"twice in a row is one press", {0, 0, 0}, kFs, {2, 2}, 0, {A::Stop, A::None}},
      {"one a poll, in the order given",
       {0, 0, 0},
       kFs,
       {2, 0, 2},
       0,
       {A::Stop, A::Start, A::Stop, A::None}},
      {"modifiers shared", {2, 2, 3}, kFs, {2}, 0, {A::Stop, A::None}},
      {"its key down past a binding on it", {3, 2, 0}, {kF5, kF5, kF7}, {1}, 0, {A::Pause}},
      {"the keyboard's keys count", {0, 0, 0}, kFs, {0}, kF7, {A::Start, A::Stop}},
      {"a mask the poller skips", {8, 0, 0}, kFs, {0}, 0, {A::None}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Keyboard keyboard;
    keyboard.held = c.held;
    CombinedKeys keys(keyboard, keyboard);
    for (const std::size_t b : c.commands) {
      EXPECT_EQ(keys.pressBinding(c.codes[b], c.shifts[b]), c.shifts[b] < 8);
    }
    keys.runEnds(false);  // a run that reads no key leaves them waiting
    std::vector<A> seen;
    for (std::size_t i = 0; i < c.polls.size(); ++i) {
      seen.push_back(stopwatch::pollHotkeys(keys, c.codes, c.shifts));
      keys.runEnds(true);
    }
    EXPECT_EQ(seen, c.polls);
    EXPECT_EQ(keyboard.runs, static_cast<int>(c.polls.size()) + 1) << "every run's end passed on";
  }
}

}  // namespace
}  // namespace tollivane::platform
