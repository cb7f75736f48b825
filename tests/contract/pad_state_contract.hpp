// What every pad adapter promises the poll and the capture controls, written once: each
// adapter's test file instantiates PadStateContract with a kit that makes the adapter and works
// its pads (simulated, or SDL's virtual controllers).
//   INSTANTIATE_TEST_SUITE_P(Sdl, PadStateContract, ::testing::Values(sdlKit()), padsKitName);
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.hpp"

namespace tollivane::contract {

// One adapter and the pads under it; each call returns once the adapter could have seen it.
class Pads {
 public:
  virtual ~Pads() = default;
  virtual platform::PadState& state() = 0;
  virtual int attach() = 0;  // the new pad's number for the calls below
  virtual void detach(int pad) = 0;
  // Exactly these buttons down (triggers included, fully pressed).
  virtual void hold(int pad, std::uint32_t buttons) = 0;
  // One trigger pressed this far, 0 to 1.
  virtual void trigger(int pad, bool right, double depth) = 0;
};

struct PadsKit {
  std::string name;
  std::function<std::unique_ptr<Pads>()> make;
};

inline void PrintTo(const PadsKit& kit, std::ostream* out) { *out << kit.name; }

inline std::string padsKitName(const ::testing::TestParamInfo<PadsKit>& info) {
  return info.param.name;
}

class PadStateContract : public ::testing::TestWithParam<PadsKit> {
 protected:
  void SetUp() override {
    pads_ = GetParam().make();
    ASSERT_TRUE(pads_);
  }
  // Each pad's buttons, in no particular order.
  std::vector<std::uint32_t> read() {
    std::array<std::uint32_t, 8> out{};
    std::vector<std::uint32_t> got(out.begin(), out.begin() + pads_->state().readPads(out));
    std::sort(got.begin(), got.end());
    return got;
  }
  // A new pad, once the adapter reads it: within a few reads, since an adapter may look for new
  // pads less often than it reads those it has.
  int attach() {
    const std::size_t before = read().size();
    const int pad = pads_->attach();
    for (int reads = 0; reads < 10 && read().size() == before;) ++reads;
    EXPECT_EQ(read().size(), before + 1);
    return pad;
  }
  using Read = std::vector<std::uint32_t>;
  std::unique_ptr<Pads> pads_;
};

constexpr std::uint32_t kView = 0x0020, kA = 0x1000, kB = 0x2000;

TEST_P(PadStateContract, HeldButtonsAndTapsBetweenReads) {
  struct Case {
    std::uint32_t held;
    std::uint32_t tapped;  // pressed for 60 ms between two reads
    std::uint32_t first;   // at the next read
    std::uint32_t second;  // at the one after
  };
  const Case cases[] = {
      {kView | kA, 0, kView | kA, kView | kA},  // a held chord
      {kView, kA, kView | kA, kView},           // the chord's second button tapped
      {0, kA, kA, 0},
  };
  const int pad = attach();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.held * 0x100000 + c.tapped);
    read();
    pads_->hold(pad, c.held);
    if (c.tapped != 0) {
      pads_->hold(pad, c.held | c.tapped);
      std::this_thread::sleep_for(std::chrono::milliseconds(60));
      pads_->hold(pad, c.held);
    }
    EXPECT_EQ(read(), Read{c.first});
    EXPECT_EQ(read(), Read{c.second});
    pads_->hold(pad, 0);
    // Let go after a reading that had them: read again, a held chord would fire twice.
    EXPECT_EQ(read(), Read{0});
  }
}

TEST_P(PadStateContract, EachButtonReadsItsOwnBit) {
  const int pad = attach();
  for (std::uint32_t bit = 1; bit <= 0x20000; bit <<= 1) {
    if (bit == 0x0400 || bit == 0x0800) continue;  // no button of ours
    pads_->hold(pad, bit);
    EXPECT_EQ(read(), Read{bit}) << std::hex << bit;
  }
}

TEST_P(PadStateContract, TriggersCountPastHalfWay) {
  const int pad = attach();
  for (const bool right : {false, true}) {
    const std::uint32_t bit = right ? 0x20000 : 0x10000;
    pads_->trigger(pad, right, 0.4);
    EXPECT_EQ(read(), Read{0}) << right;
    pads_->trigger(pad, right, 0.6);
    EXPECT_EQ(read(), Read{bit}) << right;
    pads_->trigger(pad, right, 0);
  }
}

TEST_P(PadStateContract, PadsComeAndGoWhileRunningAndReadApart) {
  EXPECT_EQ(read(), Read{});
  const int first = attach();
  pads_->hold(first, kA);
  EXPECT_EQ(read(), Read{kA});
  const int second = attach();
  pads_->hold(second, kB);
  EXPECT_EQ(read(), (Read{kA, kB}));
  std::uint32_t one[1] = {};
  EXPECT_EQ(pads_->state().readPads(one), 1u);  // no more than there is room for
  pads_->detach(first);
  EXPECT_EQ(read(), Read{kB});
  pads_->detach(second);
  EXPECT_EQ(read(), Read{});
}

}  // namespace tollivane::contract
