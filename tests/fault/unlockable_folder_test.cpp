// Two processes saving one file at the same moment, in folders that cannot be locked: a file
// system that refuses locks (ENOLCK) and a folder the user may write to but not read (mode
// 0300). No update may be lost; where nothing at all can be locked, the save says so.
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/posix/atomic_update.hpp"
#include "platform/posix/whole_file_read.hpp"
#include "unit/scratch_folder.hpp"

namespace {

// Everything below this folder is on a file system that refuses locks, as some network and
// FUSE file systems do.
std::string noLocksBelow;  // NOLINT: read by flock below, set before any child is forked

bool refusesLocks(int fd) {
  if (noLocksBelow.empty()) return false;
  char name[64];
  std::snprintf(name, sizeof name, "/proc/self/fd/%d", fd);
  std::string path(4096, '\0');
  const auto length = ::readlink(name, path.data(), path.size());
  if (length < 0) return false;
  path.resize(static_cast<std::size_t>(length));
  return path == noLocksBelow || path.starts_with(noLocksBelow + "/");
}

}  // namespace

// Stands in for the C library's: the adapter's calls land here.
extern "C" int flock(int fd, int operation) noexcept {
  if (refusesLocks(fd)) {
    errno = ENOLCK;
    return -1;
  }
  return static_cast<int>(::syscall(SYS_flock, fd, operation));
}

namespace tollivane::platform::posix {
namespace {

namespace fs = std::filesystem;

constexpr int kTrials = 30;
constexpr uid_t kNobody = 65534;

class UnlockableFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    // The savers may run as another user: they must reach their folders.
    ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
  }
  void TearDown() override {
    noLocksBelow.clear();
    ::unsetenv("XDG_RUNTIME_DIR");
  }

  // A folder for `user` only, with `mode`.
  std::string folder(const std::string& name, uid_t user, mode_t mode) const {
    const std::string path = dir_ + "/" + name;
    EXPECT_TRUE(fs::create_directory(path));
    EXPECT_EQ(::chown(path.c_str(), user, user), 0);
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
    return path;
  }

  struct Saver {
    uid_t user;
    const char* runtime;  // its own XDG_RUNTIME_DIR, "" for none, nullptr for this process's
  };

  // Trials (TOLLIVANE_TRIALS, else kTrials) of two processes each adding a line to `file` at
  // the same moment, each taking a while between reading and writing; returns how many trials
  // lost a line.
  static int trialCount() {
    const char* trials = std::getenv("TOLLIVANE_TRIALS");
    return trials ? std::atoi(trials) : kTrials;
  }
  static int lostUpdates(const std::string& file, const std::array<Saver, 2>& savers) {
    int lost = 0;
    for (int trial = 0; trial < trialCount(); ++trial) {
      { std::ofstream(file, std::ios::trunc) << "start\n"; }
      EXPECT_EQ(::chown(file.c_str(), savers[1].user, savers[1].user), 0);
      int gate[2];
      EXPECT_EQ(::pipe(gate), 0);
      pid_t children[2];
      for (int s = 0; s < 2; ++s) {
        children[s] = ::fork();
        if (children[s] == 0) {
          ::alarm(30);  // a saver that hangs fails the trial instead of the whole run
          ::close(gate[1]);
          const auto [user, runtime] = savers[s];
          if (runtime && *runtime) ::setenv("XDG_RUNTIME_DIR", runtime, 1);
          if (runtime && !*runtime) ::unsetenv("XDG_RUNTIME_DIR");
          if (user != ::geteuid() && (::setgid(user) != 0 || ::setuid(user) != 0)) ::_exit(2);
          char go;
          if (::read(gate[0], &go, 1) != 0) ::_exit(3);
          const std::string line = "saver " + std::to_string(s) + "\n";
          const auto reason = updateFileAtomically(file, [&](const auto& text) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return std::optional<std::string>(text.value_or("") + line);
          });
          if (!reason.empty()) std::fprintf(stderr, "saver %d: %s\n", s, reason.c_str());
          ::_exit(reason.empty() ? 0 : 1);
        }
      }
      ::close(gate[0]);
      ::close(gate[1]);  // both go
      for (const pid_t saver : children) {
        int status = 0;
        ::waitpid(saver, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "trial " << trial;
      }
      const auto text = readWholeFile(file).value_or("");
      if (text.find("saver 0\n") == std::string::npos ||
          text.find("saver 1\n") == std::string::npos) {
        ++lost;
      }
    }
    return lost;
  }

  tollivane::tests::ScratchFolder scratch_{"nolock"};
  const std::string dir_ = scratch_.path();
};

TEST_F(UnlockableFolder, AFileSystemThatRefusesLocksLosesNoUpdate) {
  const std::string shared = folder("nfs", ::geteuid(), 0700);
  noLocksBelow = shared;
  ::setenv("XDG_RUNTIME_DIR", folder("runtime", ::geteuid(), 0700).c_str(), 1);
  const int lost =
      lostUpdates(shared + "/Tollivane.ini", {{{::geteuid(), nullptr}, {::geteuid(), nullptr}}});
  std::printf("refused locks (ENOLCK): lost %d of %d trials\n", lost, trialCount());
  EXPECT_EQ(lost, 0);
}

TEST_F(UnlockableFolder, AFolderTheUserMayNotReadLosesNoUpdate) {
  // Root reads any folder: the savers run as another user there.
  const uid_t user = ::geteuid() == 0 ? kNobody : ::geteuid();
  const std::string writeOnly = folder("write-only", user, 0300);
  ::setenv("XDG_RUNTIME_DIR", folder("runtime", user, 0700).c_str(), 1);
  const int lost = lostUpdates(writeOnly + "/Tollivane.ini", {{{user, nullptr}, {user, nullptr}}});
  std::printf("folder of mode 0300: lost %d of %d trials\n", lost, trialCount());
  EXPECT_EQ(lost, 0);
}

// Whichever lock a copy would have chosen by its environment or its user, all of them take
// the one beside the file.
TEST_F(UnlockableFolder, CopiesInAnyEnvironmentTakeOneLock) {
  const uid_t user = ::geteuid() == 0 ? kNobody : ::geteuid();
  const std::string file = folder("write-only", user, 0300) + "/Tollivane.ini";
  const std::string own[] = {folder("runtime-a", user, 0700), folder("runtime-b", user, 0700)};
  const std::pair<const char*, std::array<Saver, 2>> cases[] = {
      {"mode 0300, a runtime folder each", {{{user, own[0].c_str()}, {user, own[1].c_str()}}}},
      {"mode 0300, no XDG_RUNTIME_DIR", {{{user, ""}, {user, ""}}}},
      {"root and the file's owner", {{{0, ""}, {user, own[1].c_str()}}}},
  };
  for (const auto& [copies, savers] : cases) {
    if (savers[0].user != savers[1].user && ::geteuid() != 0) continue;
    const int lost = lostUpdates(file, savers);
    std::printf("%s: lost %d of %d trials\n", copies, lost, trialCount());
    EXPECT_EQ(lost, 0) << copies;
  }
}

// Neither the folder nor anything under the runtime folder can be locked: the save is made
// all the same, and says on stderr that it had no lock.
TEST_F(UnlockableFolder, WhereNothingCanBeLockedTheSaveSaysSo) {
  const std::string shared = folder("nfs", ::geteuid(), 0700);
  noLocksBelow = shared;
  const std::string runtimes[] = {
      "",                                         // unset
      "relative/runtime",                         // not a path the XDG rules allow
      folder("nfs/runtime", ::geteuid(), 0700),   // on the same file system
      folder("open-runtime", ::geteuid(), 0755),  // not private to the user
  };
  int n = 0;
  for (const std::string& runtime : runtimes) {
    if (runtime.empty()) {
      ::unsetenv("XDG_RUNTIME_DIR");
    } else {
      ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    const std::string file = shared + "/Tollivane" + std::to_string(++n) + ".ini";
    const std::string said = dir_ + "/stderr";
    const pid_t saver = ::fork();
    if (saver == 0) {
      ::alarm(30);
      if (!std::freopen(said.c_str(), "w", stderr)) ::_exit(2);
      const bool saved = replaceFileAtomically(file, "[main]\nhotkey1=65\n").empty();
      std::fflush(stderr);  // reopened, it is buffered
      ::_exit(saved ? 0 : 1);
    }
    int status = 0;
    ::waitpid(saver, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << runtime;
    EXPECT_EQ(readWholeFile(file), "[main]\nhotkey1=65\n") << runtime;
    std::ifstream stream(said);
    const std::string text{std::istreambuf_iterator<char>(stream), {}};
    EXPECT_EQ(text, "tollivane: saved " + file +
                        " without a lock: neither a lock file beside it, its folder nor a file "
                        "under $XDG_RUNTIME_DIR can be locked, so a save by another copy of the "
                        "program at the same "
                        "moment may be lost\n")
        << runtime;
  }
}

}  // namespace
}  // namespace tollivane::platform::posix
