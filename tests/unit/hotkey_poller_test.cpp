#include "stopwatch/hotkey_poller.hpp"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace tollivane::stopwatch {
namespace {

class FakeKeys : public platform::KeyState {
 public:
  explicit FakeKeys(std::map<std::int16_t, std::int16_t> states) : states_(std::move(states)) {}
  std::int16_t GetAsyncKeyState(std::int16_t code) override {
    queried.push_back(code);
    const auto it = states_.find(code);
    return it == states_.end() ? std::int16_t{0} : it->second;
  }
  std::vector<std::int16_t> queried;

 private:
  std::map<std::int16_t, std::int16_t> states_;
};

constexpr std::int16_t kDown = static_cast<std::int16_t>(0x8000);
constexpr std::int16_t kTapped = 0x0001;
constexpr std::int16_t kF5 = 116, kF6 = 117, kF7 = 118, kShift = 16, kCtrl = 17, kAlt = 18;

struct PollCase {
  const char* what;
  std::array<std::int16_t, 3> codes;
  std::array<std::int16_t, 3> shifts;
  std::map<std::int16_t, std::int16_t> keys;
  HotkeyAction expected;
};

TEST(HotkeyPoller, FiresTheFirstSatisfiedBinding) {
  const std::array<std::int16_t, 3> fkeys{kF5, kF6, kF7};
  const std::array<std::int16_t, 3> plain{0, 0, 0};
  const PollCase cases[] = {
      {"nothing down", fkeys, plain, {}, HotkeyAction::None},
      {"F5 starts", fkeys, plain, {{kF5, kDown}}, HotkeyAction::Start},
      {"F6 pauses", fkeys, plain, {{kF6, kDown}}, HotkeyAction::Pause},
      {"F7 stops", fkeys, plain, {{kF7, kDown}}, HotkeyAction::Stop},
      {"F5 and F7: start wins", fkeys, plain, {{kF5, kDown}, {kF7, kDown}}, HotkeyAction::Start},
      {"an unselected modifier is ignored",
       fkeys,
       plain,
       {{kF5, kDown}, {kCtrl, kDown}},
       HotkeyAction::Start},
      {"a tap alone fires a plain binding", fkeys, plain, {{kF5, kTapped}}, HotkeyAction::Start},
      {"Ctrl+Shift+F5 needs both",
       {kF5, kF6, kF7},
       {3, 0, 0},
       {{kF5, kDown}, {kShift, kDown}},
       HotkeyAction::None},
      {"Ctrl+Shift+F5 with both",
       {kF5, kF6, kF7},
       {3, 0, 0},
       {{kF5, kDown}, {kShift, kDown}, {kCtrl, kDown}},
       HotkeyAction::Start},
      {"extra Alt does not hurt",
       {kF5, kF6, kF7},
       {3, 0, 0},
       {{kF5, kDown}, {kShift, kDown}, {kCtrl, kDown}, {kAlt, kDown}},
       HotkeyAction::Start},
      {"held modifier and tapped key share no bit",
       {kF5, kF6, kF7},
       {1, 0, 0},
       {{kF5, kTapped}, {kShift, kDown}},
       HotkeyAction::None},
      {"mask 8 skips binding 1",
       {kF5, kF6, kF7},
       {8, 0, 0},
       {{kF5, kDown}, {kF6, kDown}},
       HotkeyAction::Pause},
      {"mask -1 skips binding 1", {kF5, kF6, kF7}, {-1, 0, 0}, {{kF5, kDown}}, HotkeyAction::None},
      {"key code 0 never fires", {kF5, 0, kF7}, plain, {{kF7, kDown}}, HotkeyAction::Stop},
      {"start on F5 shadows pause on Shift+F5",
       {kF5, kF5, kF7},
       {0, 1, 0},
       {{kF5, kDown}, {kShift, kDown}},
       HotkeyAction::Start},
      {"Alt+F5", {kF5, kF6, kF7}, {4, 0, 0}, {{kF5, kDown}, {kAlt, kDown}}, HotkeyAction::Start},
  };
  for (const PollCase& c : cases) {
    FakeKeys keys(c.keys);
    EXPECT_EQ(pollHotkeys(keys, c.codes, c.shifts), c.expected) << c.what;
  }
}

TEST(HotkeyPoller, QueriesModifiersInOrderThenTheKeyAndSkipsBadMasks) {
  FakeKeys keys(std::map<std::int16_t, std::int16_t>{});
  pollHotkeys(keys, {kF5, kF6, kF7}, {9, 7, 5});
  const std::vector<std::int16_t> expected{kShift, kCtrl, kAlt, kF6, kShift, kAlt, kF7};
  EXPECT_EQ(keys.queried, expected);
}

TEST(HotkeyPoller, StopsQueryingOnceABindingFiresAndNeverExceedsTwelve) {
  FakeKeys firing(std::map<std::int16_t, std::int16_t>{{kF5, kDown}});
  pollHotkeys(firing, {kF5, kF6, kF7}, {0, 0, 0});
  EXPECT_EQ(firing.queried.size(), 1u);

  FakeKeys idle(std::map<std::int16_t, std::int16_t>{});
  pollHotkeys(idle, {kF5, kF6, kF7}, {7, 7, 7});
  EXPECT_EQ(idle.queried.size(), 12u);
}

TEST(HotkeyPoller, PadBindingsFireInTheBindingsOrderWhenOnePadHoldsThem) {
  constexpr pad::PadButtons kView = 0x20, kA = 0x1000, kB = 0x2000;
  struct PadCase {
    const char* what;
    std::array<pad::PadButtons, 3> pads;
    std::vector<pad::PadButtons> states;
    std::map<std::int16_t, std::int16_t> keys;
    HotkeyAction expected;
    std::int16_t mask2 = 0;
  };
  const PadCase cases[] = {
      {"a chord on one pad", {0, kView | kA, 0}, {kView | kA | kB}, {}, HotkeyAction::Pause},
      {"a chord split over two pads", {0, kView | kA, 0}, {kView, kA}, {}, HotkeyAction::None},
      {"one button", {kB, 0, 0}, {0, kB}, {}, HotkeyAction::Start},
      {"key 1 before pad 2", {0, kView, 0}, {kView}, {{kF5, kDown}}, HotkeyAction::Start},
      {"pad 1 before key 2", {kView, 0, 0}, {kView}, {{kF6, kDown}}, HotkeyAction::Start},
      {"three buttons never fire",
       {kView | kA | kB, 0, 0},
       {kView | kA | kB},
       {},
       HotkeyAction::None},
      {"a bad key mask leaves the pad", {0, kA, 0}, {kA}, {{kF6, kDown}}, HotkeyAction::Pause, 9},
  };
  for (const PadCase& c : cases) {
    FakeKeys keys(c.keys);
    EXPECT_EQ(pollHotkeys(keys, {kF5, kF6, kF7}, {0, c.mask2, 0}, c.pads, c.states), c.expected)
        << c.what;
  }
}

}  // namespace
}  // namespace tollivane::stopwatch
