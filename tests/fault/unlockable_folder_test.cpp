// Two processes saving one file at the same moment, in folders that cannot be locked: a file
// system that refuses locks (ENOLCK) and a folder the user may write to but not read (mode
// 0300). No update may be lost; where nothing at all can be locked, the save says so.
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/posix/posix_files.hpp"
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

  // Trials of two processes (as `user`) each adding a line to `file` at the same moment, each
  // taking a while between reading and writing; returns how many trials lost a line.
  static int lostUpdates(const std::string& file, uid_t user) {
    int lost = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
      { std::ofstream(file, std::ios::trunc) << "start\n"; }
      EXPECT_EQ(::chown(file.c_str(), user, user), 0);
      int gate[2];
      EXPECT_EQ(::pipe(gate), 0);
      pid_t savers[2];
      for (int s = 0; s < 2; ++s) {
        savers[s] = ::fork();
        if (savers[s] == 0) {
          ::alarm(30);  // a saver that hangs fails the trial instead of the whole run
          ::close(gate[1]);
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
      for (const pid_t saver : savers) {
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

  struct Saver {
    uid_t user;
    const char* runtime;  // its XDG_RUNTIME_DIR, or nullptr for none
  };

  // Two copies, each as its own user and with its own environment, each adding `updates` lines
  // to `file` one update at a time, side by side; returns how many lines were lost and prints
  // it for tools/reliability.sh.
  static int lostLines(const char* trial, const std::string& file, const Saver (&savers)[2]) {
    const char* set = std::getenv("TOLLIVANE_UPDATES");
    const int updates = set ? std::atoi(set) : 40;
    { std::ofstream(file, std::ios::trunc) << "[main]\n"; }
    EXPECT_EQ(::chown(file.c_str(), savers[1].user, savers[1].user), 0);
    int gate[2];
    EXPECT_EQ(::pipe(gate), 0);
    pid_t children[2];
    for (int s = 0; s < 2; ++s) {
      children[s] = ::fork();
      if (children[s] == 0) {
        ::alarm(300);
        ::close(gate[1]);
        if (savers[s].runtime) {
          ::setenv("XDG_RUNTIME_DIR", savers[s].runtime, 1);
        } else {
          ::unsetenv("XDG_RUNTIME_DIR");
        }
        if (savers[s].user != ::geteuid() &&
            (::setgid(savers[s].user) != 0 || ::setuid(savers[s].user) != 0)) {
          ::_exit(2);
        }
        char go;
        if (::read(gate[0], &go, 1) != 0) ::_exit(3);
        for (int u = 0; u < updates; ++u) {
          const std::string line = "s" + std::to_string(s) + "u" + std::to_string(u) + "\n";
          const auto reason = updateFileAtomically(file, [&](const auto& text) {
            return std::optional<std::string>(text.value_or("") + line);
          });
          if (!reason.empty()) {
            std::fprintf(stderr, "saver %d: %s\n", s, reason.c_str());
            ::_exit(1);
          }
        }
        ::_exit(0);
      }
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (const pid_t child : children) {
      int status = 0;
      ::waitpid(child, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << trial;
    }
    const auto text = readWholeFile(file).value_or("");
    int lost = 0;
    for (int s = 0; s < 2; ++s) {
      for (int u = 0; u < updates; ++u) {
        const std::string line = "s" + std::to_string(s) + "u" + std::to_string(u) + "\n";
        if (text.find(line) == std::string::npos) ++lost;
      }
    }
    std::printf("%s: lost %d of %d updates\n", trial, lost, 2 * updates);
    return lost;
  }

  tollivane::tests::ScratchFolder scratch_{"nolock"};
  const std::string dir_ = scratch_.path();
};

TEST_F(UnlockableFolder, AFileSystemThatRefusesLocksLosesNoUpdate) {
  const std::string shared = folder("nfs", ::geteuid(), 0700);
  noLocksBelow = shared;
  ::setenv("XDG_RUNTIME_DIR", folder("runtime", ::geteuid(), 0700).c_str(), 1);
  const int lost = lostUpdates(shared + "/Tollivane.ini", ::geteuid());
  std::printf("refused locks (ENOLCK): lost %d of %d trials\n", lost, kTrials);
  EXPECT_EQ(lost, 0);
}

TEST_F(UnlockableFolder, AFolderTheUserMayNotReadLosesNoUpdate) {
  // Root reads any folder: the savers run as another user there.
  const uid_t user = ::geteuid() == 0 ? kNobody : ::geteuid();
  const std::string writeOnly = folder("write-only", user, 0300);
  ::setenv("XDG_RUNTIME_DIR", folder("runtime", user, 0700).c_str(), 1);
  const int lost = lostUpdates(writeOnly + "/Tollivane.ini", user);
  std::printf("folder of mode 0300: lost %d of %d trials\n", lost, kTrials);
  EXPECT_EQ(lost, 0);
}

// Whichever lock a copy could have chosen by itself, all of them take the one beside the file.
TEST_F(UnlockableFolder, CopiesInAnyEnvironmentTakeOneLock) {
  const uid_t user = ::geteuid() == 0 ? kNobody : ::geteuid();
  const std::string writeOnly = folder("write-only", user, 0300);
  const std::string own[] = {folder("runtime-a", user, 0700), folder("runtime-b", user, 0700)};
  const Saver separate[] = {{user, own[0].c_str()}, {user, own[1].c_str()}};
  EXPECT_EQ(lostLines("mode 0300, a runtime folder each", writeOnly + "/Tollivane.ini", separate),
            0);
  const Saver none[] = {{user, nullptr}, {user, nullptr}};
  EXPECT_EQ(lostLines("no XDG_RUNTIME_DIR", writeOnly + "/Tollivane.ini", none), 0);
  if (::geteuid() != 0) return;
  // Root reads the folder the owner cannot, and has a runtime folder of its own.
  const Saver rootAndOwner[] = {{0, nullptr}, {user, own[1].c_str()}};
  EXPECT_EQ(lostLines("root and the file's owner", writeOnly + "/Tollivane.ini", rootAndOwner), 0);
  // The lock lasts as long as a save: nothing is left beside the file.
  ASSERT_EQ(::chmod(writeOnly.c_str(), 0700), 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(writeOnly), fs::directory_iterator()), 1);
}

// A lock file that this user may not open is another user's save under way: waited for, and
// while it stays the save is refused rather than made beside it.
TEST_F(UnlockableFolder, ALockFileClosedToTheUserRefusesTheSave) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs a second user";
  const std::string shared = folder("shared", 0, 0777);
  const std::string lock = shared + "/.Tollivane.ini.lock";
  { std::ofstream(lock) << ""; }
  ASSERT_EQ(::chmod(lock.c_str(), 0600), 0);
  const pid_t saver = ::fork();
  if (saver == 0) {
    ::alarm(30);
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(2);
    const auto reason = replaceFileAtomically(shared + "/Tollivane.ini", "[main]\n");
    ::_exit(reason ==
                    "its lock file .Tollivane.ini.lock belongs to another user, who may be "
                    "saving it"
                ? 0
                : 1);
  }
  int status = 0;
  ::waitpid(saver, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_FALSE(fs::exists(shared + "/Tollivane.ini"));
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
