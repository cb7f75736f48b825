// The program finds its folder at any depth, and says so when it cannot, instead of taking
// the current folder.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "unit/scratch_folder.hpp"

namespace {

namespace fs = std::filesystem;

class ProgramFolder : public ::testing::Test {
 protected:
  // Makes `levels` folders of 200 characters below the test's folder and copies the probe into
  // the deepest; returns that folder's path.
  std::string deepFolderWithProbe(int levels) {
    std::string path = dir_;
    int folder = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY);
    const std::string level(200, 'p');
    for (int i = 0; i < levels; ++i) {
      EXPECT_EQ(::mkdirat(folder, level.c_str(), 0700), 0);
      const int next = ::openat(folder, level.c_str(), O_RDONLY | O_DIRECTORY);
      ::close(folder);
      folder = next;
      path += "/" + level;
    }
    const int source = ::open(PROBE_PATH, O_RDONLY);
    const int copy = ::openat(folder, "probe", O_WRONLY | O_CREAT | O_TRUNC, 0700);
    char buffer[65536];
    for (ssize_t got; (got = ::read(source, buffer, sizeof buffer)) > 0;) {
      EXPECT_EQ(::write(copy, buffer, static_cast<std::size_t>(got)), got);
    }
    ::close(source);
    ::close(copy);
    folderFd_ = folder;
    return path;
  }

  // Runs the probe from within its folder, as a user who went there would, and gives what it
  // printed.
  std::string runProbe(const char* argument) {
    int out[2];
    EXPECT_EQ(::pipe(out), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      ::dup2(out[1], 1);
      if (::fchdir(folderFd_) != 0) ::_exit(3);
      ::execl("./probe", "./probe", argument, static_cast<char*>(nullptr));
      ::_exit(4);
    }
    ::close(out[1]);
    std::string printed;
    char buffer[4096];
    for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;) {
      printed.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return printed;
  }

  tollivane::tests::ScratchFolder scratch_{"folder"};
  const std::string dir_ = scratch_.path();
  int folderFd_ = -1;
};

TEST_F(ProgramFolder, IsFoundAtAnyDepth) {
  for (const int levels : {1, 30}) {
    const std::string folder = deepFolderWithProbe(levels);
    if (levels > 1) {
      ASSERT_GT(folder.size(), 4096u);
    }
    EXPECT_EQ(runProbe(nullptr), folder) << folder.size() << " bytes";
    ::close(folderFd_);
    EXPECT_EQ(std::system(("rm -rf '" + dir_ + "/" + std::string(200, 'p') + "'").c_str()), 0);
  }
}

TEST_F(ProgramFolder, IsEmptyWhenTheProgramCannotBeFound) {
  for (const int levels : {1, 30}) {
    deepFolderWithProbe(levels);
    EXPECT_EQ(runProbe("--delete-self"), "") << levels;
    ::close(folderFd_);
    EXPECT_EQ(std::system(("rm -rf '" + dir_ + "/" + std::string(200, 'p') + "'").c_str()), 0);
  }
}

}  // namespace
