// One running program per settings file: the first start holds the name, a later one asks it
// to show its window, and nothing is left to go stale when the first is killed. A holder that
// is stopped or speaks another protocol neither blocks a later start nor makes it give up.
#include "platform/posix/single_instance.hpp"

#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "platform/posix/instance_name.hpp"
#include "unit/scratch_folder.hpp"

namespace tollivane::platform::posix {
namespace {

using Role = SingleInstance::Role;
using namespace std::chrono_literals;

// Unique to this test process, so that test runs side by side never meet.
std::string nameFor(const std::string& settings) {
  return instanceName(::geteuid(), "/test/" + std::to_string(::getpid()) + "/" + settings);
}

// A first instance whose event loop answers requests, as the program's does.
class AnsweringFirst {
 public:
  explicit AnsweringFirst(const std::string& name, SingleInstance::CommandHandler commands = {})
      : instance_(name) {
    if (instance_.role() != Role::First) return;
    instance_.setCommandHandler(std::move(commands));
    loop_ = std::thread([this] {
      pollfd ready{instance_.requestsFd(), POLLIN, 0};
      while (!stop_) {
        if (::poll(&ready, 1, 10) > 0) asked_ += instance_.takeRequests();
      }
    });
  }
  ~AnsweringFirst() {
    stop_ = true;
    if (loop_.joinable()) loop_.join();
  }
  Role role() const { return instance_.role(); }
  int asked() const { return asked_; }

 private:
  SingleInstance instance_;
  std::atomic<bool> stop_{false};
  std::atomic<int> asked_{0};
  std::thread loop_;
};

// Runs `body` in a child that reports one character; nothing when it did not end within a
// limit far beyond any answer time, so that a start that hangs fails the test.
std::optional<char> inChild(const std::function<char()>& body) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child == 0) {
    const char result = body();
    ::_exit(::write(pipeFds[1], &result, 1) == 1 ? 0 : 1);
  }
  ::close(pipeFds[1]);
  pollfd done{pipeFds[0], POLLIN, 0};
  std::optional<char> result;
  char got = 0;
  if (::poll(&done, 1, 30'000) > 0 && ::read(pipeFds[0], &got, 1) == 1) result = got;
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ::close(pipeFds[0]);
  return result;
}

char roleLetter(Role role) {
  switch (role) {
    case Role::First:
      return 'F';
    case Role::Another:
      return 'A';
    case Role::Alone:
      return 'L';
  }
  return '?';
}

// A child that takes the name its own way and then serves it; ready when this returns.
class Holder {
 public:
  Holder(const std::function<bool()>& takeName, const std::function<void()>& serve) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      const char state = takeName() ? 'H' : '?';
      if (::write(ready[1], &state, 1) != 1 || state != 'H') ::_exit(1);
      serve();
      for (;;) ::pause();
    }
    char state = 0;
    ready_ = ::read(ready[0], &state, 1) == 1 && state == 'H';
    ::close(ready[0]);
    ::close(ready[1]);
  }
  ~Holder() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  bool ready() const { return ready_; }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  bool ready_ = false;
};

// Binds `name` as a socket of `type` that listens, as another program could.
int bindName(const std::string& name, int type) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path + 1, name.data(), name.size());
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  const int fd = ::socket(AF_UNIX, type, 0);
  if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
      ::listen(fd, 8) != 0) {
    return -1;
  }
  return fd;
}

TEST(SingleInstance, EachUserAndSettingsFileHasItsOwnName) {
  const std::set<std::string> names{
      instanceName(1000, "/home/ada/.config/tollivane/Tollivane.ini"),
      instanceName(1001, "/home/ada/.config/tollivane/Tollivane.ini"),
      instanceName(1000, "/home/ada/games/tollivane/Tollivane.ini"),
      instanceName(1000, "/home/ada/.config/tollivane/Tollivane.inj"),
  };
  EXPECT_EQ(names.size(), 4u);
  EXPECT_EQ(instanceName(1000, "/a/Tollivane.ini"), instanceName(1000, "/a/Tollivane.ini"));
}

TEST(SingleInstance, TwoSpellingsOfOneSettingsFileNameOneInstance) {
  namespace fs = std::filesystem;
  const tests::ScratchFolder scratch("instance");
  const fs::path base = scratch.path();
  fs::create_directories(base / "real" / "sub");
  fs::create_directory_symlink(base / "real", base / "link");
  std::ofstream(base / "real" / "Tollivane.ini") << "[rect]\n";
  fs::create_symlink(base / "real" / "Tollivane.ini", base / "file-link.ini");
  const std::string real = (base / "real" / "Tollivane.ini").string();
  for (const fs::path& spelling :
       {base / "link" / "Tollivane.ini", base / "real" / "sub" / ".." / "Tollivane.ini",
        base / "real" / "." / "Tollivane.ini", base / "link" / "sub" / ".." / "Tollivane.ini",
        base / "file-link.ini", base / "link" / "new" / ".." / "Tollivane.ini"}) {
    EXPECT_EQ(instanceName(1000, spelling.string()), instanceName(1000, real)) << spelling;
  }
  // Not there yet: the folders that exist are still resolved.
  EXPECT_EQ(instanceName(1000, (base / "link" / "new" / "Tollivane.ini").string()),
            instanceName(1000, (base / "real" / "new" / "Tollivane.ini").string()));
  EXPECT_NE(instanceName(1000, (base / "real" / "sub" / "Tollivane.ini").string()),
            instanceName(1000, real));
  // A link to a folder not made yet, as the first save would make it.
  fs::create_directory_symlink(base / "later", base / "pending");
  EXPECT_EQ(instanceName(1000, (base / "pending" / "tollivane" / "Tollivane.ini").string()),
            instanceName(1000, (base / "later" / "tollivane" / "Tollivane.ini").string()));
}

// A link another user planted in a shared folder is one no save or read follows: a copy started
// through it must not pass for the copy of the file behind it.
TEST(SingleInstance, ANameFollowsOnlyTheLinksASaveFollows) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root may make a link another user's";
  namespace fs = std::filesystem;
  const tests::ScratchFolder scratch("instance");
  const fs::path shared = fs::path(scratch.path()) / "shared";
  const std::string real = scratch.path() + "/Tollivane.ini";
  std::ofstream(real) << "[rect]\n";
  fs::create_directory(shared);
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
  constexpr uid_t kNobody = 65534;
  for (const auto& [owner, followed] : {std::pair<uid_t, bool>{0, true}, {kNobody, false}}) {
    const fs::path link = shared / ("Tollivane-" + std::to_string(owner) + ".ini");
    fs::create_symlink(real, link);
    ASSERT_EQ(::lchown(link.c_str(), owner, owner), 0);
    EXPECT_EQ(instanceName(1000, link.string()) == instanceName(1000, real), followed) << owner;
  }
}

TEST(SingleInstance, ALaterStartAsksTheFirstAndCopiesWithOtherFilesRunSideBySide) {
  AnsweringFirst first(nameFor("a"));
  ASSERT_EQ(first.role(), Role::First);

  SingleInstance second(nameFor("a"));
  EXPECT_EQ(second.role(), Role::Another);
  EXPECT_EQ(second.requestsFd(), -1);
  for (int i = 0; i < 1000 && first.asked() == 0; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(first.asked(), 1) << "the first took the request";

  SingleInstance other(nameFor("b"));
  EXPECT_EQ(other.role(), Role::First);
  EXPECT_GE(other.requestsFd(), 0);
  EXPECT_EQ(other.takeRequests(), 0);
}

TEST(SingleInstance, ACommandGoesToTheFirstWhichSaysWhetherItTookIt) {
  using R = SingleInstance::CommandResult;
  EXPECT_EQ(SingleInstance::sendCommand(nameFor("c"), "start"), R::NoneRunning);
  std::atomic<int> heard{0};
  AnsweringFirst first(nameFor("c"), [&](std::string_view word) {
    ++heard;
    return word != "jump";
  });
  ASSERT_EQ(first.role(), Role::First);
  for (const auto& [word, result] : {std::pair<std::string, R>{"start", R::Taken},
                                     {"jump", R::Refused},
                                     {"two\nlines", R::Refused}}) {
    EXPECT_EQ(SingleInstance::sendCommand(nameFor("c"), word), result) << word;
  }
  EXPECT_EQ(heard, 2) << "only well-formed commands reach the handler";
  EXPECT_EQ(first.asked(), 0) << "a command is no request for the window";
}

TEST(SingleInstance, EveryStartOfABurstThatQueuedWhileTheFirstWasBusyIsAnswered) {
  constexpr int kStarts = 40;
  const std::string name = nameFor("burst.ini");
  SingleInstance first(name);
  int results[2];
  ASSERT_TRUE(first.role() == Role::First && ::pipe(results) == 0);
  for (int i = 0; i < kStarts; ++i) {
    if (::fork() != 0) continue;
    const char letter = roleLetter(SingleInstance(name, 60s).role());
    ::_exit(::write(results[1], &letter, 1) == 1 ? 0 : 1);
  }
  ::close(results[1]);
  std::this_thread::sleep_for(1s);  // busy, as at start-up: the starts queue up meanwhile
  int asked = 0;
  std::string letters;
  pollfd ready[] = {{first.requestsFd(), POLLIN, 0}, {results[0], POLLIN, 0}};
  for (char letter = 0; letters.size() < kStarts && ::poll(ready, 2, 30'000) > 0;) {
    if (ready[0].revents & POLLIN) asked += first.takeRequests();
    if ((ready[1].revents & POLLIN) && ::read(results[0], &letter, 1) == 1) letters += letter;
  }
  while (::wait(nullptr) > 0) {
  }
  ::close(results[0]);
  EXPECT_EQ(letters, std::string(kStarts, 'A'));
  EXPECT_EQ(asked, kStarts);
}

TEST(SingleInstance, TheNameIsFreeAgainWhenTheFirstEnds) {
  { SingleInstance first(nameFor("a")); }
  SingleInstance next(nameFor("a"));
  EXPECT_EQ(next.role(), Role::First);
}

TEST(SingleInstance, AKilledFirstInstanceLeavesNothingStale) {
  const std::string name = nameFor("a");
  std::optional<Holder> first;
  first.emplace([&] { return (new AnsweringFirst(name))->role() == Role::First; }, [] {});
  ASSERT_TRUE(first->ready());
  EXPECT_EQ(inChild([&] { return roleLetter(SingleInstance(name).role()); }), 'A')
      << "held while the child runs";
  first.reset();  // SIGKILL
  SingleInstance after(name);
  EXPECT_EQ(after.role(), Role::First);
}

// Whatever holds the name, a later start comes back, and says "another" only when a first
// instance of ours took its request.
TEST(SingleInstance, AHolderThatDoesNotAnswerNeitherBlocksNorStopsALaterStart) {
  int fd = -1;  // the holder's, in its own process
  const auto serveEach = [&](std::function<void(int)> each) {
    return [&fd, each] {
      for (;;) {
        const int connection = ::accept(fd, nullptr, nullptr);
        if (connection >= 0) each(connection);
      }
    };
  };
  const auto readTheRequest = [](int connection) {
    char buffer[256];
    if (::recv(connection, buffer, sizeof buffer, 0) < 0) ::_exit(3);
  };
  std::unique_ptr<SingleInstance> stoppedFirst;
  struct Case {
    const char* holder;
    int type;  // of the socket the holder binds, 0: a first instance of ours
    std::function<void()> serve;
  };
  const Case cases[] = {
      {"a first instance that was stopped", 0, [] { ::raise(SIGSTOP); }},
      {"a program that takes the request and never answers", SOCK_SEQPACKET,
       serveEach([&](int connection) { readTheRequest(connection); })},
      {"a program that answers something else", SOCK_SEQPACKET, serveEach([&](int connection) {
         readTheRequest(connection);
         if (::send(connection, "ok\n", 3, MSG_NOSIGNAL) < 0) ::_exit(3);
       })},
      {"a program that hangs up", SOCK_SEQPACKET,
       serveEach([](int connection) { ::close(connection); })},
      // Names are per socket type: one of another type stands in no one's way.
      {"a stream socket that never accepts", SOCK_STREAM, [] {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.holder);
    const std::string name = nameFor(c.holder);
    Holder holder(
        [&] {
          if (c.type != 0) return (fd = bindName(name, c.type)) >= 0;
          stoppedFirst = std::make_unique<SingleInstance>(name);
          return stoppedFirst->role() == Role::First;
        },
        c.serve);
    ASSERT_TRUE(holder.ready());
    if (c.type == 0) {
      siginfo_t info{};
      ASSERT_EQ(::waitid(P_PID, holder.pid(), &info, WSTOPPED), 0);
    }
    // More starts than the holder's backlog takes in.
    for (int start = 0; start < 20; ++start) {
      const std::optional<char> role =
          inChild([&] { return roleLetter(SingleInstance(name, 200ms).role()); });
      ASSERT_TRUE(role.has_value()) << "start " << start << " hung";
      ASSERT_EQ(*role, c.type == SOCK_STREAM ? 'F' : 'L')
          << "start " << start << " should run on its own";
    }
  }
}

// Anyone may bind a name first: one held by another user's program is stepped past, to a name
// every later start and command of ours finds too.
TEST(SingleInstance, ANameHeldByAnotherUserIsNotAskedAndDoesNotStopUs) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run a process as another user";
  const std::string name = nameFor("a");
  Holder held(
      [&] {
        constexpr uid_t kNobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
          return false;
        }
        return (new AnsweringFirst(name))->role() == Role::First;
      },
      [] {});
  ASSERT_TRUE(held.ready());
  AnsweringFirst first(name, [](std::string_view) { return true; });
  EXPECT_EQ(first.role(), Role::First);
  EXPECT_EQ(inChild([&] { return roleLetter(SingleInstance(name).role()); }), 'A');
  EXPECT_EQ(SingleInstance::sendCommand(name, "start"), SingleInstance::CommandResult::Taken);
}

// A holder that does not answer is said to be one, and a command its sender gave up on is never
// taken later.
TEST(SingleInstance, ACommandItsSenderGaveUpOnIsNeverTaken) {
  const std::string name = nameFor("late");
  SingleInstance first(name);
  ASSERT_EQ(first.role(), Role::First);
  int heard = 0;
  first.setCommandHandler([&](std::string_view) { return ++heard > 0; });
  EXPECT_EQ(SingleInstance::sendCommand(name, "start", 100ms),
            SingleInstance::CommandResult::NotAnswering);
  first.takeRequests();
  EXPECT_EQ(heard, 0);
}

}  // namespace
}  // namespace tollivane::platform::posix
