#include "platform/sim/sim_keyboard.hpp"

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/sim/sim_clock.hpp"

namespace tollivane::platform::sim {
namespace {

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

TEST(SimKeyboard, ModifiersReadDownSinceTheLastQueryAndSidesCountForBoth) {
  // The code asked for, the keys held at the first query and at the second, one tapped in
  // between, and the two readings.
  struct Case {
    int query;
    std::initializer_list<int> before, between;
    int tapped;
    std::uint16_t first, second;
  };
  const Case cases[] = {
      {16, {16}, {16}, 0, 0x8001, 0x8001},    // held through: never a zero bit 0
      {16, {16}, {}, 0, 0x8001, 0x0001},      // let go after the first query
      {17, {}, {0xA3}, 0, 0, 0x8001},         // right Ctrl pressed: Ctrl
      {18, {}, {}, 0xA4, 0, 0x0001},          // left Alt tapped: Alt
      {0xA0, {0xA0}, {}, 0, 0x8001, 0x0001},  // a side keeps the promise too
      {116, {116}, {}, 0, 0x8000, 0},         // not a modifier: only presses count
  };
  for (const Case& c : cases) {
    SimClock clock;
    SimKeyboard keys(clock);
    keys.hold(std::span(c.before.begin(), c.before.size()));
    EXPECT_EQ(state(keys, c.query), c.first) << c.query;
    keys.hold(std::span(c.between.begin(), c.between.size()));
    if (c.tapped) keys.tap(c.tapped);
    EXPECT_EQ(state(keys, c.query), c.second) << c.query;
  }
}

TEST(SimKeyboard, KeysNotAskedForInTwoSecondsKeepNoPress) {
  SimClock clock;
  SimKeyboard keys(clock);
  for (int code : {16, 116}) {
    state(keys, code);
    keys.hold({code});
    keys.hold({});
    keys.tap(code);
    clock.advance(2001);
    EXPECT_EQ(state(keys, code), 0) << code;
    keys.tap(code);
    clock.advance(2000);
    EXPECT_EQ(state(keys, code), 1) << code;
  }
}

}  // namespace
}  // namespace tollivane::platform::sim
