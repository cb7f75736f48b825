// What every key state promises the hotkey poller, written once: each adapter's test file
// instantiates KeyStateContract with a kit that makes the adapter and presses its keys.
//   INSTANTIATE_TEST_SUITE_P(X11, KeyStateContract, ::testing::Values(x11Kit()), keysKitName);
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "platform/platform.hpp"

namespace tollivane::contract {

// One adapter and the keyboard under it.
class Keyboard {
 public:
  virtual ~Keyboard() = default;
  virtual platform::KeyState& keys() = 0;
  // Presses or releases the key of this virtual-key code, and returns once the adapter could
  // have seen it.
  virtual void key(int vk, bool down) = 0;
  // Presses and releases it.
  virtual void tap(int vk) {
    key(vk, true);
    key(vk, false);
  }
  // Lets this much time pass.
  virtual void pause(std::chrono::milliseconds time) = 0;
  // How long ago the key state was made, or a little more.
  virtual std::chrono::milliseconds age() = 0;
};

struct KeyStateKit {
  std::string name;
  std::function<std::unique_ptr<Keyboard>()> make;
};

inline void PrintTo(const KeyStateKit& kit, std::ostream* out) { *out << kit.name; }

inline std::string keysKitName(const ::testing::TestParamInfo<KeyStateKit>& info) {
  return info.param.name;
}

class KeyStateContract : public ::testing::TestWithParam<KeyStateKit> {
 protected:
  void SetUp() override {
    board_ = GetParam().make();
    ASSERT_TRUE(board_);
  }
  std::uint16_t query(int vk) {
    return static_cast<std::uint16_t>(
        board_->keys().GetAsyncKeyState(static_cast<std::int16_t>(vk)));
  }
  void tap(int vk) { board_->tap(vk); }
  std::unique_ptr<Keyboard> board_;
};

TEST_P(KeyStateContract, HeldKeysAndTapsReadAsPromised) {
  struct Case {
    int pressed;
    int queried;
    bool modifier;  // bit 0: down at some moment since the last query
  };
  const Case cases[] = {
      {116, 116, false},   // F5
      {0xA0, 0xA0, true},  // left Shift
      {0xA0, 16, true},    // a side counts for its modifier
      {0xA3, 17, true},    // right Ctrl
      {0xA1, 16, true},    // right Shift
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pressed * 1000 + c.queried);
    query(c.queried);  // takes what an earlier case's side left
    EXPECT_EQ(query(c.queried), 0);
    board_->key(c.pressed, true);
    // Bit 0 for the press itself is the adapter's to give while the key is still down.
    EXPECT_EQ(query(c.queried) | (c.modifier ? 0 : 1), 0x8001);
    EXPECT_EQ(query(c.queried), c.modifier ? 0x8001 : 0x8000);
    board_->key(c.pressed, false);
    EXPECT_EQ(query(c.queried), c.modifier ? 1 : 0);
    EXPECT_EQ(query(c.queried), 0);
    tap(c.pressed);
    EXPECT_EQ(query(c.queried), 1);
    EXPECT_EQ(query(c.queried), 0);
  }
}

TEST_P(KeyStateContract, PressesAreKeptOnlyOfKeysAskedForLately) {
  query(117);
  board_->pause(std::chrono::milliseconds(2500));
  tap(117);
  tap(118);
  EXPECT_EQ(query(117), 0) << "a press while the key was not asked for would fire a new binding";
  EXPECT_EQ(query(118), 0) << "nor one of a key never asked for";
  tap(117);
  EXPECT_EQ(query(117), 1);
}

TEST_P(KeyStateContract, KeysNotYetAskedForCountFromWhenTheKeyStateWasMade) {
  using std::chrono::milliseconds;
  tap(119);  // F8
  tap(120);  // F9
  const milliseconds first = std::max(milliseconds(1500) - board_->age(), milliseconds(0));
  board_->pause(first);
  EXPECT_EQ(query(119), 1) << "a tap before the first poll counts";
  board_->pause(milliseconds(2500) - first);
  EXPECT_EQ(query(120), 0) << "a tap over two seconds before a key's first query would fire late";
}

TEST_P(KeyStateContract, CodesNamingNoKeyGiveZero) {
  board_->key(116, true);
  // 0x174 would alias F5 if only its low byte were read.
  for (const int code : {0, -1, 255, 0x174, 32767, -32768}) EXPECT_EQ(query(code), 0) << code;
  EXPECT_EQ(query(116) & 0x8000, 0x8000);
  board_->key(116, false);
}

}  // namespace tollivane::contract
