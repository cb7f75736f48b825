// Saves killed at random moments with SIGKILL: the settings file is always exactly the old or
// the new bytes, and a later save removes the temporaries the killed ones left.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "platform/posix/atomic_update.hpp"
#include "platform/posix/update_temporaries.hpp"
#include "platform/posix/whole_file_read.hpp"

#include "unit/scratch_folder.hpp"

namespace tollivane::platform::posix {
namespace {

namespace fs = std::filesystem;

int kills() {
  const char* given = std::getenv("TOLLIVANE_KILLS");
  return given ? std::atoi(given) : 500;
}

int temporariesIn(const std::string& folder) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (isTemporaryOf(entry.path().filename().string(), "Tollivane.ini")) ++count;
  }
  return count;
}

TEST(KillDuringSave, TheFileIsAlwaysTheOldOrTheNewBytes) {
  const tests::ScratchFolder scratch("kill");
  const std::string& folder = scratch.path();
  const std::string file = folder + "/Tollivane.ini";
  // Large enough that a kill often lands inside the write, not only between saves.
  std::string one, two;
  for (int i = 0; i < 4000; ++i) {
    one += "[s" + std::to_string(i) + "]\r\nk=1\r\n";
    two += "[s" + std::to_string(i) + "]\r\nk=22\r\n";
  }
  ASSERT_EQ(replaceFileAtomically(file, one), "");

  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> delayMicroseconds(0, 15'000);
  int sawOne = 0, sawTwo = 0, torn = 0;
  const int total = kills();
  for (int k = 0; k < total; ++k) {
    const pid_t saver = ::fork();
    if (saver == 0) {
      for (;;) {
        updateFileAtomically(file, [&](const std::optional<std::string>& text) {
          return std::optional<std::string>(text == one ? two : one);
        });
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
    ::kill(saver, SIGKILL);
    ::waitpid(saver, nullptr, 0);
    const auto now = readWholeFile(file);
    if (now == one) {
      ++sawOne;
    } else if (now == two) {
      ++sawTwo;
    } else {
      ++torn;
    }
  }
  const int left = temporariesIn(folder);
  // Aged past staleness, the leftovers go with the next save; a fresh one would stay.
  for (const auto& entry : fs::directory_iterator(folder)) {
    fs::last_write_time(entry.path(), fs::file_time_type::clock::now() - std::chrono::minutes(2));
  }
  ASSERT_EQ(replaceFileAtomically(file, one), "");
  const int afterCleanup = temporariesIn(folder);
  std::printf("kills=%d old_or_new=%d+%d torn=%d temporaries_left=%d after_cleanup=%d\n", total,
              sawOne, sawTwo, torn, left, afterCleanup);

  EXPECT_EQ(torn, 0);
  EXPECT_EQ(sawOne + sawTwo, total);
  EXPECT_EQ(afterCleanup, 0);
}

}  // namespace
}  // namespace tollivane::platform::posix
