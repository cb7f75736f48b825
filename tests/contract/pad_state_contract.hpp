// What every pad adapter promises the poll and the capture controls, written once: each
// adapter's test file instantiates PadStateContract with a kit that makes the adapter and
// works its pads (a simulated or virtual controller).
//   INSTANTIATE_TEST_SUITE_P(Sdl, PadStateContract, ::testing::Values(sdlKit()), padsKitName);
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "common/pad_buttons.hpp"
#include "platform/platform.hpp"

namespace tollivane::contract {

// One adapter and one pad under it, plugged in when made.
class Pads {
 public:
  virtual ~Pads() = default;
  virtual platform::PadState& pads() = 0;
  // Presses or releases these buttons (XInput's bits), returning once the adapter could have
  // seen it.
  virtual void buttons(std::uint32_t bits, bool down) = 0;
  virtual void plugged(bool in) = 0;
};

struct PadStateKit {
  std::string name;
  std::function<std::unique_ptr<Pads>()> make;
};

inline void PrintTo(const PadStateKit& kit, std::ostream* out) { *out << kit.name; }

inline std::string padsKitName(const ::testing::TestParamInfo<PadStateKit>& info) {
  return info.param.name;
}

class PadStateContract : public ::testing::TestWithParam<PadStateKit> {
 protected:
  void SetUp() override {
    pads_ = GetParam().make();
    ASSERT_TRUE(pads_);
  }
  // Every pad's reading.
  std::vector<std::uint32_t> read() {
    std::array<std::uint32_t, pad::kMaxPads> out{};
    return {out.begin(), out.begin() + pads_->pads().readPads(out)};
  }
  std::unique_ptr<Pads> pads_;
};

TEST_P(PadStateContract, HeldButtonsAndPressesSinceTheLastReading) {
  using V = std::vector<std::uint32_t>;
  const std::uint32_t view = 0x0020, a = 0x1000, l2 = 0x10000;
  read();
  EXPECT_EQ(read(), V{0});
  pads_->buttons(view | l2, true);
  EXPECT_EQ(read(), V{view | l2});
  EXPECT_EQ(read(), V{view | l2}) << "held buttons read at every reading";
  // A's press and release both fall between two readings: the next one still has it.
  pads_->buttons(a, true);
  pads_->buttons(a, false);
  EXPECT_EQ(read(), V{view | l2 | a});
  EXPECT_EQ(read(), V{view | l2});
  pads_->buttons(view | l2, false);
  EXPECT_EQ(read(), V{0}) << "let go after a reading that had them: a pause would fire twice";
}

TEST_P(PadStateContract, APadPulledOutIsNotReadAndFitsTheSpaceGiven) {
  pads_->buttons(0x1000, true);
  std::array<std::uint32_t, 1> none{};
  EXPECT_EQ(pads_->pads().readPads(std::span(none).first(0)), 0u);
  pads_->plugged(false);
  read();
  EXPECT_TRUE(read().empty());
  pads_->plugged(true);
  read();
  EXPECT_EQ(read(), std::vector<std::uint32_t>{0}) << "its buttons went with it";
}

}  // namespace tollivane::contract
