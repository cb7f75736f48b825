// The timer group's rule over a system timer whose wakeups the test places: phase points that a
// late wakeup does not move, missed ticks delivered as one, ticks due together in one wakeup.
#include "app/timer_group.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tollivane::app {
namespace {

constexpr std::int64_t kMs = 1'000'000;

// Wakes `lag` ms after each point it was set for; a repeating one keeps its first grid.
class FakeSystemTimer final : public SystemTimer {
 public:
  void setOnDue(std::function<void()> onDue) override { onDue_ = std::move(onDue); }
  std::int64_t now() const override { return now_; }
  void arm(std::int64_t milliseconds) override { set(milliseconds, 0); }
  void repeat(std::int64_t milliseconds) override { set(milliseconds, milliseconds); }
  void cancel() override { due_ = -1; }

  void runTo(std::int64_t endMs, std::int64_t lagMs) {
    while (due_ >= 0 && due_ + lagMs * kMs <= endMs * kMs) {
      now_ = std::max(now_, due_ + lagMs * kMs);
      due_ = period_ > 0 ? due_ + period_ : -1;
      onDue_();
    }
    now_ = std::max(now_, endMs * kMs);
  }
  void busy(std::int64_t ms) { now_ += ms * kMs; }
  bool armed() const { return due_ >= 0; }

 private:
  void set(std::int64_t ms, std::int64_t periodMs) {
    due_ = now_ + ms * kMs;
    period_ = periodMs * kMs;
  }
  std::function<void()> onDue_;
  std::int64_t now_ = 0;
  std::int64_t due_ = -1;
  std::int64_t period_ = 0;
};

// Timers "1" and "2" logging "NAME@MS" at each tick.
struct Group {
  FakeSystemTimer system;
  TimerGroup group{system};
  std::vector<std::string> log;
  GroupTimer t1{group, [this] { tick("1"); }};
  GroupTimer t2{group, [this] { tick("2"); }};
  std::function<void(const std::string&)> during;  // runs inside each handler

  void tick(const std::string& name) {
    log.push_back(name + "@" + std::to_string(system.now() / kMs));
    if (during) during(name);
  }
};

using Log = std::vector<std::string>;

TEST(TimerGroup, PhasePointsHoldWhateverTheWakeups) {
  struct Setup {
    int interval1, interval2;
    std::int64_t lagMs, busyMs;  // each wakeup late by lagMs; the first tick of 1 busy for busyMs
    std::int64_t endMs;
  };
  const struct {
    const char* what;
    Setup s;
    Log expected;
  } cases[] = {
      {"on time", {100, 0, 0, 0, 300}, {"1@100", "1@200", "1@300"}},
      {"switched on at interval 0, never", {0, 0, 0, 0, 1000}, {}},
      {"late wakeups do not push the next ones back",
       {100, 0, 30, 0, 340},
       {"1@130", "1@230", "1@330"}},
      {"points missed while busy make one tick",
       {100, 0, 0, 350, 600},
       {"1@100", "1@450", "1@500", "1@600"}},
      {"at one point the timer made first ticks first",
       {200, 100, 0, 0, 400},
       {"2@100", "1@200", "2@200", "2@300", "1@400", "2@400"}},
      {"a busy handler merges the other's points too",
       {200, 100, 0, 250, 600},
       {"2@100", "1@200", "2@450", "1@450", "2@450", "2@500", "1@600", "2@600"}},
  };
  for (const auto& [what, s, expected] : cases) {
    Group g;
    g.during = [&](const std::string& name) {
      if (name == "1" && g.t1.ticks() == 1) g.system.busy(s.busyMs);
    };
    g.t1.setInterval(s.interval1);
    g.t2.setInterval(s.interval2);
    g.t1.setEnabled(true);
    g.t2.setEnabled(s.interval2 > 0);
    g.system.runTo(s.endMs, s.lagMs);
    EXPECT_EQ(g.log, expected) << what;
  }
}

// As the stopwatch runs: the 200 ms timer switches the 100 ms one on in its first tick, so that
// every other tick of the second shares a wakeup with the first, and the system timer, once it
// repeats on their common period, is set no more.
TEST(TimerGroup, TicksDueTogetherShareOneWakeupAndTheSystemTimerRepeats) {
  for (const std::int64_t lagMs : {0, 3}) {
    Group g;
    g.during = [&](const std::string& name) {
      if (name == "1" && g.t1.ticks() == 1) g.t2.setEnabled(true);
    };
    g.t1.setInterval(200);
    g.t2.setInterval(100);
    g.t1.setEnabled(true);
    g.system.runTo(1000, lagMs);
    const int armings = g.group.armings();
    const int wakeups = g.group.wakeups();
    const auto ticks1 = g.t1.ticks();
    const auto ticks2 = g.t2.ticks();
    g.system.runTo(11'000, lagMs);
    EXPECT_EQ(g.t1.ticks() - ticks1, 50u) << lagMs;
    EXPECT_EQ(g.t2.ticks() - ticks2, 100u) << lagMs;
    EXPECT_EQ(g.group.wakeups() - wakeups, 100) << lagMs;
    EXPECT_EQ(g.group.armings(), armings) << lagMs;
  }
}

TEST(TimerGroup, HaltedNothingTicksOrSwitchesOnAgain) {
  Group g;
  g.during = [&](const std::string&) { g.group.halt(); };
  g.t1.setInterval(100);
  g.t2.setInterval(100);
  g.t1.setEnabled(true);
  g.t2.setEnabled(true);
  g.system.runTo(1000, 0);
  // 2 was due at the same point, but the group had halted.
  EXPECT_EQ(g.log, (Log{"1@100"}));
  g.t1.setEnabled(true);
  EXPECT_FALSE(g.t1.enabled());
  EXPECT_FALSE(g.t2.enabled());
  EXPECT_FALSE(g.system.armed());
}

}  // namespace
}  // namespace tollivane::app
