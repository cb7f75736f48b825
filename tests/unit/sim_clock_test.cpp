#include "platform/sim/sim_clock.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tollivane::platform::sim {
namespace {

// Two tickers that log "NAME@TIME" at each tick.
class SimClockTest : public ::testing::Test {
 protected:
  SimClockTest() {
    timer1.onTick = [this] { log.push_back("1@" + std::to_string(clock.now())); };
    timer2.onTick = [this] { log.push_back("2@" + std::to_string(clock.now())); };
  }
  SimClock clock;
  SimTicker timer1{clock};
  SimTicker timer2{clock};
  std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST_F(SimClockTest, IntervalAloneDoesNotSwitchOn) {
  timer1.setInterval(200);
  clock.advance(1000);
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(timer1.enabled());
  EXPECT_EQ(clock.now(), 1000);
}

TEST_F(SimClockTest, IntervalZeroNeverTicks) {
  timer1.setEnabled(true);
  clock.advance(1000);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(timer1.enabled());
}

TEST_F(SimClockTest, TicksOneIntervalAfterEnablingIncludingTheLastInstant) {
  clock.advance(50);
  timer1.setInterval(200);
  timer1.setEnabled(true);
  clock.advance(199);
  EXPECT_TRUE(log.empty());
  clock.advance(1);
  clock.advance(400);
  EXPECT_EQ(log, (Log{"1@250", "1@450", "1@650"}));
  EXPECT_EQ(timer1.ticks(), 3u);
}

TEST_F(SimClockTest, SameInstantRunsTimer1First) {
  timer2.setInterval(100);
  timer2.setEnabled(true);
  timer1.setInterval(200);
  timer1.setEnabled(true);
  clock.advance(400);
  EXPECT_EQ(log, (Log{"2@100", "1@200", "2@200", "2@300", "1@400", "2@400"}));
}

TEST_F(SimClockTest, ChangingTheIntervalOfAnEnabledTimerRestartsItsPeriod) {
  timer1.setInterval(200);
  timer1.setEnabled(true);
  clock.advance(150);
  timer1.setInterval(100);
  clock.advance(250);
  EXPECT_EQ(log, (Log{"1@250", "1@350"}));
}

TEST_F(SimClockTest, EnablingAnEnabledTimerKeepsItsPhase) {
  timer1.setInterval(200);
  timer1.setEnabled(true);
  clock.advance(150);
  timer1.setEnabled(true);
  clock.advance(100);
  EXPECT_EQ(log, (Log{"1@200"}));
}

TEST_F(SimClockTest, HandlersSwitchTimersWithinOneAdvance) {
  timer1.setInterval(200);
  timer1.setEnabled(true);
  timer2.setInterval(100);
  // Timer1's first tick switches Timer2 on, its third switches it off again.
  timer1.onTick = [this] {
    log.push_back("1@" + std::to_string(clock.now()));
    timer2.setEnabled(timer1.ticks() < 3);
  };
  clock.advance(800);
  // At 600 Timer1 runs first and switches Timer2 off before its tick.
  EXPECT_EQ(log, (Log{"1@200", "2@300", "1@400", "2@400", "2@500", "1@600", "1@800"}));
}

TEST_F(SimClockTest, TimerSwitchedOffByItsHandlerTicksNoMore) {
  timer1.setInterval(100);
  timer1.setEnabled(true);
  timer1.onTick = [this] {
    log.push_back("1@" + std::to_string(clock.now()));
    timer1.setEnabled(false);
  };
  clock.advance(1000);
  EXPECT_EQ(log, (Log{"1@100"}));
}

TEST_F(SimClockTest, NothingTicksAfterTheEnd) {
  timer1.setInterval(100);
  timer1.setEnabled(true);
  timer2.setInterval(100);
  timer2.setEnabled(true);
  timer1.onTick = [this] {
    log.push_back("1@" + std::to_string(clock.now()));
    clock.stopAll();
  };
  clock.advance(1000);
  // Timer2 was due at the same instant but the program had ended.
  EXPECT_EQ(log, (Log{"1@100"}));
  timer1.setEnabled(true);
  clock.advance(1000);
  EXPECT_EQ(log, (Log{"1@100"}));
  EXPECT_FALSE(timer1.enabled());
  EXPECT_FALSE(timer2.enabled());
  EXPECT_EQ(clock.now(), 2000);
}

TEST_F(SimClockTest, LongRunsCountEveryTick) {
  timer1.setInterval(200);
  timer1.setEnabled(true);
  timer2.setInterval(100);
  timer2.setEnabled(true);
  timer1.onTick = nullptr;
  timer2.onTick = nullptr;
  for (int i = 0; i < 60; ++i) clock.advance(60'000);
  EXPECT_EQ(timer1.ticks(), 18000u);
  EXPECT_EQ(timer2.ticks(), 36000u);
}

}  // namespace
}  // namespace tollivane::platform::sim
