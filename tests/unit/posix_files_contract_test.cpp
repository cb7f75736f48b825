// The files contract over the POSIX adapter; the other program is a child process with an
// adapter of its own, whose refusals come back through a pipe, one a line.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "contract/files_contract.hpp"
#include "contract/line_appender.hpp"
#include "platform/posix/posix_files.hpp"

namespace tollivane::platform::posix {
namespace {

using contract::FilesContract;

std::function<std::vector<std::string>()> startWriter(const std::string& path, int count,
                                                      const std::string& tag) {
  int ends[2];
  EXPECT_EQ(::pipe(ends), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(ends[0]);
    PosixFiles files;
    for (std::string reason : contract::appendLines(files, path, count, tag)) {
      reason += '\n';
      [[maybe_unused]] const ssize_t written = ::write(ends[1], reason.data(), reason.size());
    }
    ::_exit(0);
  }
  ::close(ends[1]);
  return [child, fd = ends[0]] {
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) {
      text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    int status = 0;
    ::waitpid(child, &status, 0);
    std::vector<std::string> reasons;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) reasons.push_back(line);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) reasons.push_back("the writer failed");
    return reasons;
  };
}

contract::FilesKit posixKit() {
  contract::FilesKit kit;
  kit.name = "Posix";
  kit.make = [] { return std::make_unique<PosixFiles>(); };
  kit.otherWriter = startWriter;
  // A reader's open file keeps no rename out here; the contract holds all the same.
  kit.holdOpen = [](const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_GE(fd, 0);
    return std::function<void()>([fd] { ::close(fd); });
  };
  return kit;
}

INSTANTIATE_TEST_SUITE_P(Posix, FilesContract, ::testing::Values(posixKit()), contract::kitName);

}  // namespace
}  // namespace tollivane::platform::posix
