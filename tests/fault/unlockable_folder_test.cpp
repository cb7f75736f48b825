// Two processes saving one file at the same moment, in folders that cannot be locked: a file
// system that refuses locks (ENOLCK) and a folder the user may write to but not read (mode
// 0300). No update may be lost; where nothing at all can be locked, the save says so. The
// stand-in lock lives in /run/user/<uid>: as root the test makes that folder where it is
// missing and removes it again.
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/posix/atomic_update.hpp"
#include "platform/posix/whole_file_read.hpp"
#include "unit/scratch_folder.hpp"

namespace {

// Everything below these folders is on a file system that refuses locks, as some network and
// FUSE file systems do.
std::vector<std::string> noLocksBelow;  // NOLINT: read by flock below, set before any fork

bool refusesLocks(int fd) {
  if (noLocksBelow.empty()) return false;
  char name[64];
  std::snprintf(name, sizeof name, "/proc/self/fd/%d", fd);
  std::string path(4096, '\0');
  const auto length = ::readlink(name, path.data(), path.size());
  if (length < 0) return false;
  path.resize(static_cast<std::size_t>(length));
  return std::any_of(noLocksBelow.begin(), noLocksBelow.end(), [&](const std::string& folder) {
    return path == folder || path.starts_with(folder + "/");
  });
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
// Root reads and writes any folder: as root, the savers run as nobody.
const uid_t kUser = ::geteuid() == 0 ? kNobody : ::geteuid();

std::string runtimeFolderOf(uid_t user) { return "/run/user/" + std::to_string(user); }

class UnlockableFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    // The savers may run as another user: they must reach their folders.
    ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
  }
  void TearDown() override {
    noLocksBelow.clear();
    for (auto made = made_.rbegin(); made != made_.rend(); ++made) fs::remove_all(*made);
  }

  // A folder for `user` only, with `mode`.
  std::string folder(const std::string& name, uid_t user, mode_t mode) const {
    const std::string path = dir_ + "/" + name;
    EXPECT_TRUE(fs::create_directory(path));
    EXPECT_EQ(::chown(path.c_str(), user, user), 0);
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
    return path;
  }

  // `path` made by `make` for this test only, removed when it ends; false where it is there
  // already, as the system's.
  bool makeForTest(const std::string& path, const std::function<bool()>& make) {
    if (fs::exists(fs::symlink_status(path))) return false;
    made_.push_back(path);
    EXPECT_TRUE(make()) << path;
    return true;
  }

  // A private runtime folder for `user`: the system's, else (as root) one made for the test.
  bool haveRuntimeFolder(uid_t user) {
    const std::string path = runtimeFolderOf(user);
    if (fs::exists(fs::symlink_status(path))) return true;
    if (::geteuid() != 0) return false;
    makeForTest("/run/user", [] { return ::mkdir("/run/user", 0755) == 0; });
    return makeForTest(path, [&] {
      return ::mkdir(path.c_str(), 0700) == 0 && ::chown(path.c_str(), user, user) == 0;
    });
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
  std::vector<std::string> made_;
};

constexpr const char* kNoRuntimeFolder =
    "no /run/user/<uid> for the stand-in lock, and only root may make one";

TEST_F(UnlockableFolder, AFileSystemThatRefusesLocksLosesNoUpdate) {
  if (!haveRuntimeFolder(kUser)) GTEST_SKIP() << kNoRuntimeFolder;
  const std::string shared = folder("nfs", kUser, 0700);
  noLocksBelow = {shared};
  const int lost = lostUpdates(shared + "/Tollivane.ini", {{{kUser, nullptr}, {kUser, nullptr}}});
  std::printf("refused locks (ENOLCK): lost %d of %d trials\n", lost, trialCount());
  EXPECT_EQ(lost, 0);
}

TEST_F(UnlockableFolder, AFolderTheUserMayNotReadLosesNoUpdate) {
  const std::string writeOnly = folder("write-only", kUser, 0300);
  const int lost =
      lostUpdates(writeOnly + "/Tollivane.ini", {{{kUser, nullptr}, {kUser, nullptr}}});
  std::printf("folder of mode 0300: lost %d of %d trials\n", lost, trialCount());
  EXPECT_EQ(lost, 0);
}

// Whichever lock a copy would have chosen by its environment or its user, all of them take
// the same one: the one beside the file, or where locks are refused there, the stand-in in
// the folder owner's runtime folder.
TEST_F(UnlockableFolder, CopiesInAnyEnvironmentTakeOneLock) {
  if (!haveRuntimeFolder(kUser)) GTEST_SKIP() << kNoRuntimeFolder;
  const std::string writeOnly = folder("write-only", kUser, 0300) + "/Tollivane.ini";
  const std::string refusing = folder("nfs", kUser, 0700);
  noLocksBelow = {refusing};
  const std::string own[] = {folder("runtime-a", kUser, 0700), folder("runtime-b", kUser, 0700)};
  const std::string file = refusing + "/Tollivane.ini";
  // Where the lock file's name is taken, root may lock the folder, its owner may not read it.
  const std::string taken = folder("taken", kUser, 0300);
  EXPECT_TRUE(fs::create_directory(taken + "/.Tollivane.ini.lock"));
  // This process's save first: as root, the stand-in it makes must be open to the owner's copies.
  EXPECT_EQ(replaceFileAtomically(taken + "/Tollivane.ini", "start\n"), "");
  const std::tuple<const char*, std::string, std::array<Saver, 2>> cases[] = {
      {"mode 0300, a runtime folder each",
       writeOnly,
       {{{kUser, own[0].c_str()}, {kUser, own[1].c_str()}}}},
      {"mode 0300, no XDG_RUNTIME_DIR", writeOnly, {{{kUser, ""}, {kUser, ""}}}},
      {"root and the file's owner", writeOnly, {{{0, ""}, {kUser, own[1].c_str()}}}},
      {"refused locks, a runtime folder each",
       file,
       {{{kUser, own[0].c_str()}, {kUser, own[1].c_str()}}}},
      {"refused locks, root and the folder's owner", file, {{{0, ""}, {kUser, own[1].c_str()}}}},
      {"mode 0300, lock file's name taken, root and the folder's owner",
       taken + "/Tollivane.ini",
       {{{0, ""}, {kUser, own[1].c_str()}}}},
  };
  for (const auto& [copies, settings, savers] : cases) {
    if (savers[0].user != savers[1].user && ::geteuid() != 0) continue;
    const int lost = lostUpdates(settings, savers);
    std::printf("%s: lost %d of %d trials\n", copies, lost, trialCount());
    EXPECT_EQ(lost, 0) << copies;
  }
}

// Locks are refused beside the file and in its folder, and the folder owner's runtime folder
// cannot hold a lock that every copy would take: the save is made all the same, and says on
// stderr that it had no lock.
TEST_F(UnlockableFolder, WhereNothingCanBeLockedTheSaveSaysSo) {
  const std::string runtime = runtimeFolderOf(kNobody);
  if (::geteuid() != 0 || fs::exists(fs::symlink_status(runtime))) {
    GTEST_SKIP() << "needs root, and no " << runtime << " of the system's";
  }
  const std::string shared = folder("nfs", kNobody, 0700);
  const std::string privateFolder = folder("private", kNobody, 0700);
  const auto directory = [&](uid_t owner, mode_t mode) {
    return [=] {
      return ::mkdir(runtime.c_str(), mode) == 0 && ::chown(runtime.c_str(), owner, owner) == 0;
    };
  };
  const std::tuple<const char*, std::function<bool()>, bool> runtimes[] = {
      {"missing", nullptr, false},
      {"a link to a private folder",
       [&] { return ::symlink(privateFolder.c_str(), runtime.c_str()) == 0; }, false},
      {"open to others", directory(kNobody, 0755), false},
      {"another user's", directory(0, 0700), false},
      {"refusing locks", directory(kNobody, 0700), true},
  };
  makeForTest("/run/user", [] { return ::mkdir("/run/user", 0755) == 0; });
  int n = 0;
  for (const auto& [kind, make, refuses] : runtimes) {
    noLocksBelow = {shared};
    if (refuses) noLocksBelow.push_back(runtime);
    if (make) makeForTest(runtime, make);
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
    fs::remove_all(runtime);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << kind;
    EXPECT_EQ(readWholeFile(file), "[main]\nhotkey1=65\n") << kind;
    std::ifstream stream(said);
    const std::string text{std::istreambuf_iterator<char>(stream), {}};
    EXPECT_EQ(text, "tollivane: saved " + file +
                        " without a lock: neither a lock file beside it, its folder nor one in "
                        "its owner's private /run/user folder can be locked, so a save by "
                        "another copy of the program at the same moment may be lost\n")
        << kind;
  }
}

}  // namespace
}  // namespace tollivane::platform::posix
