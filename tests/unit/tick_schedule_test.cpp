// The timers' phase and missed-tick rule, which every real front end's timers follow.
#include "app/tick_schedule.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace tollivane::app {
namespace {

struct Wake {
  std::int64_t at;  // counts after the start
  bool due;
  std::int64_t next;  // the phase point after it
};

struct Case {
  const char* what;
  std::int64_t period;
  std::vector<Wake> wakes;
};

TEST(TickSchedule, TicksOnPhasePointsAndMergesTheMissedOnes) {
  const Case cases[] = {
      {"on time", 200, {{200, true, 400}, {400, true, 600}, {600, true, 800}}},
      {"early sleeps on", 200, {{100, false, 200}, {199, false, 200}, {200, true, 400}}},
      {"late keeps the phase", 200, {{250, true, 400}, {400, true, 600}}},
      {"late by a few counts keeps it too", 200, {{200, true, 400}, {415, true, 600}}},
      {"missed points make one tick", 200, {{650, true, 800}, {799, false, 800}}},
      {"exactly on a later point", 200, {{600, true, 800}}},
      {"three missed after a tick", 200, {{200, true, 400}, {1050, true, 1200}}},
      {"period 0 never ticks", 0, {{0, false, 0}, {1000, false, 0}}},
  };
  const std::int64_t t0 = 1'000'000;
  for (const Case& c : cases) {
    TickSchedule schedule;
    schedule.start(t0, c.period);
    for (const Wake& w : c.wakes) {
      EXPECT_EQ(schedule.wake(t0 + w.at), w.due) << c.what << " at " << w.at;
      EXPECT_EQ(schedule.next(), t0 + w.next) << c.what << " at " << w.at;
      if (w.due) {
        EXPECT_EQ(schedule.previous(), t0 + w.next - c.period) << c.what;
      }
    }
  }
}

TEST(TickSchedule, SleepsUntilThePhasePointInWholeMillisecondsRoundedUp) {
  constexpr std::int64_t kNanoseconds = 1'000'000'000;
  constexpr std::int64_t kCounter = 10'000'000;  // a performance counter's usual rate
  TickSchedule nanoseconds;
  nanoseconds.start(0, 100'000'000);
  EXPECT_EQ(nanoseconds.millisecondsUntilNext(0, kNanoseconds), 100);
  EXPECT_EQ(nanoseconds.millisecondsUntilNext(99'500'000, kNanoseconds), 1);
  EXPECT_EQ(nanoseconds.millisecondsUntilNext(99'999'999, kNanoseconds), 1);
  EXPECT_EQ(nanoseconds.millisecondsUntilNext(100'000'000, kNanoseconds), 0);
  EXPECT_EQ(nanoseconds.millisecondsUntilNext(150'000'000, kNanoseconds), 0);
  TickSchedule counter;
  counter.start(5, 3 * kCounter + 1);  // three seconds and one count
  EXPECT_EQ(counter.millisecondsUntilNext(5, kCounter), 3001);
  EXPECT_EQ(counter.millisecondsUntilNext(6, kCounter), 3000);
  // A day's period at nanoseconds: no overflow on the way to milliseconds.
  TickSchedule day;
  day.start(0, 86'400 * kNanoseconds);
  EXPECT_EQ(day.millisecondsUntilNext(0, kNanoseconds), 86'400'000);
}

}  // namespace
}  // namespace tollivane::app
