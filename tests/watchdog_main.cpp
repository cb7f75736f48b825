// gtest's main with a limit per test: where a whole test program runs as one test (under an
// emulator, where each start is costly), a test that hangs still fails alone and by name
// instead of stalling the run. TOLLIVANE_TEST_LIMIT gives the limit in seconds; 0 or unset:
// none.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Shared with a thread that outlives main's return, so never destroyed.
struct Watch {
  std::chrono::seconds limit{0};
  std::mutex mutex;
  std::condition_variable changed;
  std::string test;  // empty between tests
  Clock::time_point deadline{};
};
Watch& watch = *new Watch;

void watchTests() {
  std::unique_lock lock(watch.mutex);
  for (;;) {
    if (watch.test.empty()) {
      watch.changed.wait(lock);
    } else if (Clock::now() < watch.deadline) {
      watch.changed.wait_until(lock, watch.deadline);
    } else {
      std::fprintf(stderr, "%s: still running after %lld s; the run ends here\n",
                   watch.test.c_str(), static_cast<long long>(watch.limit.count()));
      std::fflush(nullptr);
      std::_Exit(1);
    }
  }
}

class Watchdog final : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo& test) override {
    std::lock_guard lock(watch.mutex);
    watch.test = std::string(test.test_suite_name()) + "." + test.name();
    watch.deadline = Clock::now() + watch.limit;
    watch.changed.notify_all();
  }
  void OnTestEnd(const testing::TestInfo&) override {
    std::lock_guard lock(watch.mutex);
    watch.test.clear();
  }
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const char* limit = std::getenv("TOLLIVANE_TEST_LIMIT");
  watch.limit = std::chrono::seconds(limit ? std::atoi(limit) : 0);
  if (watch.limit.count() > 0) {
    testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
    std::thread(watchTests).detach();
  }
  return RUN_ALL_TESTS();
}
