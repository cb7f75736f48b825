// The timer group over Qt's system timer, on a real event loop: phase-locked to a monotonic
// clock, missed ticks arriving as one. The group's rule itself: tests/unit/timer_group_test.
#include <QTest>
#include <chrono>
#include <thread>
#include <vector>

#include "app/timer_group.hpp"
#include "frontend/qt/qt_system_timer.hpp"
#include "patience.hpp"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class TimerTest : public QObject {
  Q_OBJECT
 private slots:
  void ticksOnTheEventLoop();
  void aBusyThreadGetsOneTickThenTheNextPhasePoint();

 private:
  tollivane::frontend::qt::QtSystemTimer system_;
  tollivane::app::TimerGroup group_{system_};
};

void TimerTest::ticksOnTheEventLoop() {
  std::vector<Clock::time_point> ticks;
  tollivane::app::GroupTimer timer(group_, [&] { ticks.push_back(Clock::now()); });
  timer.setInterval(50);
  QCOMPARE(timer.enabled(), false);
  const auto start = Clock::now();
  timer.setEnabled(true);
  QTRY_VERIFY_WITH_TIMEOUT(ticks.size() >= 6, kPatienceMs);
  timer.setEnabled(false);
  // Tick k comes at or after start + 50k ms; a loaded machine may make it late, never early.
  for (std::size_t k = 0; k < ticks.size(); ++k) {
    QVERIFY(ticks[k] - start >= std::chrono::milliseconds(50 * (k + 1)) - 1ms);
  }
}

void TimerTest::aBusyThreadGetsOneTickThenTheNextPhasePoint() {
  std::vector<Clock::time_point> ticks;
  tollivane::app::GroupTimer timer(group_, [&] {
    ticks.push_back(Clock::now());
    // The first handler keeps the thread busy past three more phase points.
    if (ticks.size() == 1) std::this_thread::sleep_for(350ms);
  });
  timer.setInterval(100);
  const auto start = Clock::now();
  timer.setEnabled(true);
  QTRY_VERIFY_WITH_TIMEOUT(ticks.size() >= 3, kPatienceMs);
  timer.setEnabled(false);
  // Busy from ~100 to ~450 ms: the points at 200, 300, 400 make one tick, at about 450 ms.
  QVERIFY(ticks[1] - start >= 450ms);
  // The next comes at the 500 ms phase point, not 100 ms after the late one.
  QVERIFY(ticks[2] - start >= 499ms);
}

QTEST_GUILESS_MAIN(TimerTest)
#include "timer_test.moc"
