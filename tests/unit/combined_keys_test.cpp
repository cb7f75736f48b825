// Commands handed to the poll read as their binding held through one poll, through the real
// poller: once, in the poller's order, whatever keys and modifiers the other bindings share.
#include "platform/combined_keys.hpp"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "stopwatch/hotkey_poller.hpp"

namespace tollivane::platform {
namespace {

using stopwatch::HotkeyAction;

class Runs : public RunObserver {
 public:
  void runEnds(bool framesComing) override { told.push_back(framesComing); }
  std::vector<bool> told;
};

class HeldKeys : public KeyState {
 public:
  std::int16_t GetAsyncKeyState(std::int16_t code) override {
    ++asked[code];
    const auto it = held.find(code);
    return it == held.end() ? std::int16_t{0} : it->second;
  }
  std::map<std::int16_t, std::int16_t> held;
  std::map<std::int16_t, int> asked;
};

constexpr std::int16_t kF5 = 116, kF6 = 117, kF7 = 118, kShift = 16, kCtrl = 17;
constexpr std::int16_t kDown = static_cast<std::int16_t>(0x8000);
constexpr std::int16_t kHeld = static_cast<std::int16_t>(0x8001);

struct Binding {
  std::int16_t code;
  std::int16_t mask;
};

TEST(CombinedKeys, ACommandFiresItsBindingAtTheNextPollOnly) {
  struct Case {
    const char* what;
    std::array<Binding, 3> bindings;
    std::vector<std::size_t> commands;  // bindings asked for, before the first poll
    std::vector<HotkeyAction> polls;
  };
  const std::array<Binding, 3> plain{{{kF5, 0}, {kF6, 0}, {kF7, 0}}};
  const std::array<Binding, 3> ctrl{{{kF5, 2}, {kF6, 2}, {kF7, 3}}};
  const Case cases[] = {
      {"start", plain, {0}, {HotkeyAction::Start, HotkeyAction::None}},
      {"pause", plain, {1}, {HotkeyAction::Pause, HotkeyAction::None}},
      {"twice before a poll is one press", plain, {2, 2}, {HotkeyAction::Stop, HotkeyAction::None}},
      {"stop and start: start first, as the poller orders them",
       plain,
       {2, 0},
       {HotkeyAction::Start, HotkeyAction::Stop, HotkeyAction::None}},
      {"a modifier read for an earlier binding is still down for its own",
       ctrl,
       {1},
       {HotkeyAction::Pause, HotkeyAction::None}},
      {"Ctrl+Shift+F7 after two Ctrl bindings",
       ctrl,
       {2},
       {HotkeyAction::Stop, HotkeyAction::None}},
      {"the same key with fewer modifiers fires first, as a real press does",
       {{{kF5, 0}, {kF5, 1}, {kF7, 0}}},
       {1},
       {HotkeyAction::Start, HotkeyAction::None}},
      {"its key stays down past an earlier binding on the same key",
       {{{kF5, 3}, {kF5, 2}, {kF7, 0}}},
       {1},
       {HotkeyAction::Pause, HotkeyAction::None}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HeldKeys keyboard;
    Runs runs;
    CombinedKeys keys(keyboard, runs);
    std::array<std::int16_t, 3> codes{};
    std::array<std::int16_t, 3> shifts{};
    for (std::size_t i = 0; i < 3; ++i) {
      codes[i] = c.bindings[i].code;
      shifts[i] = c.bindings[i].mask;
    }
    for (const std::size_t b : c.commands) {
      EXPECT_TRUE(keys.pressBinding(codes[b], shifts[b]));
    }
    keys.runEnds(false);  // a run that reads no key leaves them waiting
    std::vector<HotkeyAction> seen;
    for (std::size_t i = 0; i < c.polls.size(); ++i) {
      seen.push_back(stopwatch::pollHotkeys(keys, codes, shifts));
      keys.runEnds(true);
    }
    EXPECT_EQ(seen, c.polls);
    EXPECT_EQ(runs.told.size(), c.polls.size() + 1) << "every run's end is passed on";
  }
}

TEST(CombinedKeys, TheKeyboardIsAskedAsBeforeAndItsKeysStillCount) {
  HeldKeys keyboard;
  keyboard.held = {{kShift, kDown}, {kF6, kDown}};
  Runs runs;
  CombinedKeys keys(keyboard, runs);
  ASSERT_TRUE(keys.pressBinding(kF5, 2));
  // The held key's own state comes through whole beside the command's press.
  EXPECT_EQ(keys.GetAsyncKeyState(kShift), kDown);
  EXPECT_EQ(keys.GetAsyncKeyState(kCtrl), kHeld);
  EXPECT_EQ(keys.GetAsyncKeyState(kF6), kDown);
  EXPECT_EQ(keys.GetAsyncKeyState(kF5), kHeld);
  EXPECT_EQ(keys.GetAsyncKeyState(kF5), kHeld) << "held until the run ends";
  keys.runEnds(true);
  EXPECT_EQ(keys.GetAsyncKeyState(kF5), 0);
  EXPECT_EQ(keys.GetAsyncKeyState(kCtrl), 0) << "its modifier goes up with it";
  EXPECT_EQ(keyboard.asked,
            (std::map<std::int16_t, int>{{kShift, 1}, {kCtrl, 2}, {kF5, 3}, {kF6, 1}}));
}

TEST(CombinedKeys, APressThePollerCouldNeverTakeIsRefused) {
  HeldKeys keyboard;
  Runs runs;
  CombinedKeys keys(keyboard, runs);
  EXPECT_FALSE(keys.pressBinding(kF5, 8)) << "a mask the poller skips";
  EXPECT_FALSE(keys.pressBinding(kF5, -1));
  EXPECT_EQ(keys.GetAsyncKeyState(kShift), 0);
  // Presses pile up only until the poller has had time to take them.
  int taken = 0;
  for (std::int16_t code = 1; code <= 20; ++code) taken += keys.pressBinding(code, 0);
  EXPECT_GT(taken, 2);
  EXPECT_LT(taken, 20);
  EXPECT_FALSE(keys.pressBinding(100, 0));
}

}  // namespace
}  // namespace tollivane::platform
