// One running program per settings file: the first start holds the name, a later one asks it
// to show its window, and nothing is left to go stale when the first is killed.
#include "platform/posix/single_instance.hpp"

#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tollivane::platform::posix {
namespace {

using Role = SingleInstance::Role;

// Unique to this test process, so that test runs side by side never meet.
std::string nameFor(const std::string& settings) {
  return instanceName(::geteuid(), "/test/" + std::to_string(::getpid()) + "/" + settings);
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

TEST(SingleInstance, ALaterStartAsksTheFirstAndCopiesWithOtherFilesRunSideBySide) {
  SingleInstance first(nameFor("a"));
  ASSERT_EQ(first.role(), Role::First);
  EXPECT_GE(first.requestsFd(), 0);
  EXPECT_EQ(first.takeRequests(), 0);

  SingleInstance second(nameFor("a"));
  EXPECT_EQ(second.role(), Role::Another);
  EXPECT_EQ(second.requestsFd(), -1);
  EXPECT_EQ(first.takeRequests(), 1) << "the later start's request reached the first";
  EXPECT_EQ(first.takeRequests(), 0);

  SingleInstance other(nameFor("b"));
  EXPECT_EQ(other.role(), Role::First);
}

TEST(SingleInstance, TheNameIsFreeAgainWhenTheFirstEnds) {
  { SingleInstance first(nameFor("a")); }
  SingleInstance next(nameFor("a"));
  EXPECT_EQ(next.role(), Role::First);
}

TEST(SingleInstance, AKilledFirstInstanceLeavesNothingStale) {
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const std::string name = nameFor("a");
  const pid_t child = ::fork();
  if (child == 0) {
    SingleInstance held(name);
    const char role = held.role() == Role::First ? 'F' : '?';
    if (::write(ready[1], &role, 1) != 1) ::_exit(1);
    ::pause();
    ::_exit(0);
  }
  char role = 0;
  ASSERT_EQ(::read(ready[0], &role, 1), 1);
  ASSERT_EQ(role, 'F');
  EXPECT_EQ(SingleInstance(name).role(), Role::Another) << "held while the child runs";
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  SingleInstance after(name);
  EXPECT_EQ(after.role(), Role::First);
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST(SingleInstance, ANameHeldByAnotherUserIsNotAskedAndDoesNotStopUs) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run a process as another user";
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const std::string name = nameFor("a");
  const pid_t child = ::fork();
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
      ::_exit(2);
    }
    SingleInstance held(name);
    const char role = held.role() == Role::First ? 'F' : '?';
    if (::write(ready[1], &role, 1) != 1) ::_exit(1);
    ::pause();
    ::_exit(0);
  }
  char role = 0;
  ASSERT_EQ(::read(ready[0], &role, 1), 1);
  ASSERT_EQ(role, 'F');
  SingleInstance ours(name);
  EXPECT_EQ(ours.role(), Role::Alone);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
}

}  // namespace
}  // namespace tollivane::platform::posix
