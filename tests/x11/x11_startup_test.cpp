// The program as a user starts it from a terminal: the options that need no display, and
// every way the display can be missing, dead or full ending in one line and exit status 1,
// never an abort. Each run has a hard limit, so that a start that hangs fails.
// GoogleTest before Xlib, whose None macro clashes with it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app_process.hpp"
#include "test_client.hpp"
#include "xvfb.hpp"

#include "unit/scratch_folder.hpp"

namespace tollivane::x11test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

struct Outcome {
  bool ended = false;
  int exitCode = -1;  // -1 when killed by a signal
  int signal = 0;
  std::string out;
  std::string err;
};

std::string slurp(const fs::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int lines(const std::string& text) {
  int count = 0;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) count += line.empty() ? 0 : 1;
  return count;
}

class Startup : public ::testing::Test {
 protected:
  tests::ScratchFolder scratch{"startup"};
  fs::path folder = scratch.path();

  void SetUp() override { fs::copy_file(TOLLIVANE_EXE, folder / "tollivane"); }

  // Runs a private copy of the program with only the environment given (and PATH, HOME and
  // XDG_RUNTIME_DIR, which a session has);
  // stops it after `limit` when it has not ended by then, or once its standard error is
  // `enough`.
  Outcome run(const std::vector<std::string>& arguments,
              const std::map<std::string, std::string>& environment,
              std::chrono::milliseconds limit = 30s,
              const std::function<bool(const std::string&)>& enough = {}) {
    const pid_t child = fork();
    if (child == 0) {
      clearenv();
      setenv("PATH", "/usr/bin:/bin", 1);
      setenv("HOME", folder.c_str(), 1);
      setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
      for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
      const int out = open((folder / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int err = open((folder / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(out, STDOUT_FILENO);
      dup2(err, STDERR_FILENO);
      std::vector<const char*> argv{"tollivane"};
      for (const std::string& a : arguments) argv.push_back(a.c_str());
      argv.push_back(nullptr);
      execv((folder / "tollivane").c_str(), const_cast<char* const*>(argv.data()));
      _exit(127);
    }
    Outcome outcome;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!(outcome.ended = waitpid(child, &status, WNOHANG) == child) &&
           std::chrono::steady_clock::now() < deadline &&
           !(enough && enough(slurp(folder / "err")))) {
      std::this_thread::sleep_for(10ms);
    }
    if (!outcome.ended) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
    }
    if (WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
    outcome.out = slurp(folder / "out");
    outcome.err = slurp(folder / "err");
    return outcome;
  }
};

TEST_F(Startup, HelpAndVersionNeedNoDisplayAndUnknownArgumentsAreRefused) {
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    const char* out;  // how standard output begins; null: empty
    const char* err;
  };
  const Case cases[] = {
      {{"--help"}, 0, "Usage: tollivane", nullptr},
      {{"-h"}, 0, "Usage: tollivane", nullptr},
      {{"--version"}, 0, "tollivane " TOLLIVANE_VERSION "\n", nullptr},
      {{"--bogus"}, 2, nullptr, "tollivane: unknown argument \"--bogus\"\nUsage: tollivane"},
      {{"-platform", "xcb", "stray"}, 2, nullptr, "tollivane: unknown argument \"stray\"\n"},
      // With none running: one line, and no display is ever asked for.
      {{"--start"}, 1, nullptr, "tollivane: no Tollivane is running with "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.front());
    const Outcome outcome = run(c.arguments, {});
    ASSERT_TRUE(outcome.ended) << "still running";
    EXPECT_EQ(outcome.exitCode, c.exitCode) << outcome.err;
    if (c.out) {
      EXPECT_TRUE(outcome.out.starts_with(c.out)) << outcome.out;
    } else {
      EXPECT_EQ(outcome.out, "");
    }
    if (c.err) {
      EXPECT_TRUE(outcome.err.starts_with(c.err)) << outcome.err;
      EXPECT_TRUE(c.exitCode != 1 || lines(outcome.err) == 1) << outcome.err;
    } else {
      EXPECT_EQ(outcome.err, "");
    }
  }
}

// The X server hands out a limited number of client slots: leave exactly one free.
std::vector<Display*> fillClientSlots(const std::string& display) {
  std::vector<Display*> held;
  while (Display* d = XOpenDisplay(display.c_str())) held.push_back(d);
  if (!held.empty()) {
    XCloseDisplay(held.back());
    held.pop_back();
  }
  return held;
}

// A display that takes connections, answers part of the way and then stalls: after one byte, or
// after passing on a real server's whole setup reply, whatever the client sends next.
class StallingDisplay {
 public:
  enum class After { OneByte, Setup };
  StallingDisplay(After after, const std::string& real) : after_(after), real_(real) {
    for (number_ = 400; number_ < 500; ++number_) {
      listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      const Address address = abstractAddress(number_);
      if (bind(listener_, reinterpret_cast<const sockaddr*>(&address.socket), address.size) == 0 &&
          listen(listener_, 8) == 0) {
        break;
      }
      close(listener_);
      listener_ = -1;
    }
    thread_ = std::thread([this] { serve(); });
  }
  ~StallingDisplay() {
    shutdown(listener_, SHUT_RDWR);
    close(listener_);
    thread_.join();
    for (const int fd : held_) close(fd);
  }
  std::string display() const { return ":" + std::to_string(number_); }

 private:
  // Xlib's abstract name for the display: the bytes after the leading zero, no more.
  struct Address {
    sockaddr_un socket{};
    socklen_t size = 0;
  };
  static Address abstractAddress(int number) {
    Address address;
    address.socket.sun_family = AF_UNIX;
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    std::memcpy(address.socket.sun_path + 1, path.data(), path.size());
    address.size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
    return address;
  }
  void serve() {
    for (int client; (client = accept(listener_, nullptr, nullptr)) >= 0;) {
      held_.push_back(client);
      unsigned char request[12];
      if (recv(client, request, sizeof request, MSG_WAITALL) != sizeof request) continue;
      if (after_ == After::OneByte) {
        send(client, "\1", 1, MSG_NOSIGNAL);
        continue;
      }
      const int server = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      held_.push_back(server);
      const Address address = abstractAddress(std::stoi(real_.substr(1)));
      unsigned char head[8];
      if (connect(server, reinterpret_cast<const sockaddr*>(&address.socket), address.size) != 0 ||
          send(server, request, sizeof request, MSG_NOSIGNAL) != sizeof request ||
          recv(server, head, sizeof head, MSG_WAITALL) != sizeof head) {
        continue;
      }
      std::vector<unsigned char> rest(4u * (head[6] | head[7] << 8));
      if (!rest.empty() && recv(server, rest.data(), rest.size(), MSG_WAITALL) < 0) continue;
      send(client, head, sizeof head, MSG_NOSIGNAL);
      send(client, rest.data(), rest.size(), MSG_NOSIGNAL);
    }
  }

  After after_;
  std::string real_;
  int number_ = 0;
  int listener_ = -1;
  std::vector<int> held_;
  std::thread thread_;
};

TEST_F(Startup, EveryWayTheDisplayCanFailEndsInOneLineAndExitStatusOne) {
  Xvfb full;
  Xvfb stopped;  // takes connections and says nothing
  StallingDisplay oneByte(StallingDisplay::After::OneByte, full.display());
  StallingDisplay setupOnly(StallingDisplay::After::Setup, full.display());
  // A display number no server has, now.
  int number = 300;
  while (fs::exists("/tmp/.X11-unix/X" + std::to_string(number))) ++number;
  const std::string goneName = ":" + std::to_string(number);
  std::vector<Display*> held;
  struct Case {
    const char* display;
    std::map<std::string, std::string> environment;
    std::function<void()> before;
    std::vector<std::string> arguments = {};
    std::string named = "tollivane: ";  // what the line must name
  };
  const auto quiet = [] {};
  const Case cases[] = {
      {"none at all", {}, [] {}},
      {"an empty DISPLAY", {{"DISPLAY", ""}}, [] {}},
      {"a display with no server", {{"DISPLAY", goneName}}, [] {}},
      {"a display with no server, Qt told to use it",
       {{"DISPLAY", goneName}, {"QT_QPA_PLATFORM", "xcb"}},
       [] {}},
      {"a dead display and a Wayland display with no compositor",
       {{"DISPLAY", goneName}, {"WAYLAND_DISPLAY", "tollivane-test-nowhere"}},
       [] {}},
      {"a Wayland display with no compositor",
       {{"WAYLAND_DISPLAY", "tollivane-test-nowhere"}},
       [] {}},
      {"-platform nosuch",
       {{"DISPLAY", full.display()}},
       quiet,
       {"-platform", "nosuch"},
       "\"nosuch\""},
      {"-platform wayland",
       {{"DISPLAY", full.display()}},
       quiet,
       {"-platform", "wayland"},
       "Wayland"},
      {"-display :99", {{"DISPLAY", full.display()}}, quiet, {"-display", ":99"}, "\":99\""},
      {"a stopped server",
       {{"DISPLAY", stopped.display()}},
       [&] { kill(stopped.pid(), SIGSTOP); },
       {},
       "\"" + stopped.display() + "\""},
      {"a server that answers one byte and stalls",
       {{"DISPLAY", oneByte.display()}},
       quiet,
       {},
       "\"" + oneByte.display() + "\""},
      {"a server that answers the whole setup and stalls",
       {{"DISPLAY", setupOnly.display()}},
       quiet,
       {},
       "\"" + setupOnly.display() + "\""},
      {"a server with one client slot left, which the program's own connection takes",
       {{"DISPLAY", full.display()}},
       [&] { held = fillClientSlots(full.display()); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.display);
    c.before();
    const Outcome outcome = run(c.arguments, c.environment);
    ASSERT_TRUE(outcome.ended) << "still running";
    EXPECT_EQ(outcome.signal, 0) << "ended by signal " << outcome.signal << ": " << outcome.err;
    EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
    EXPECT_EQ(lines(outcome.err), 1) << outcome.err;
    EXPECT_TRUE(outcome.err.starts_with("tollivane: ")) << outcome.err;
    EXPECT_NE(outcome.err.find(c.named), std::string::npos) << outcome.err;
  }
  kill(stopped.pid(), SIGCONT);
  for (Display* d : held) XCloseDisplay(d);
}

// An authority file that is not a regular file is not read: start-up neither blocks opening a
// FIFO nor spins reading a device, and goes on without a cookie.
TEST_F(Startup, AnAuthorityFileThatIsNoRegularFileIsNotRead) {
  Xvfb server;
  const fs::path fifo = folder / "authority";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& authority : {fifo.string(), std::string("/dev/zero")}) {
    TestClient client(server.display());
    bool shown = false;
    const Outcome outcome = run({}, {{"DISPLAY", server.display()}, {"XAUTHORITY", authority}}, 60s,
                                [&](const std::string&) {
                                  return shown = findWindowTitled(client, "Tollivane").has_value();
                                });
    EXPECT_TRUE(shown && !outcome.ended) << authority << ": " << outcome.err;
  }
}

int occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST_F(Startup, WithWaylandAloneTheWindowOpensThroughQtsWaylandSupportWithTheNotice) {
  const std::string socket = "tollivane-test-" + std::to_string(getpid());
  const pid_t compositor = fork();
  if (compositor == 0) {
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    dup2(quiet, STDERR_FILENO);
    execlp("weston", "weston", "--backend=headless-backend.so", ("--socket=" + socket).c_str(),
           "--idle-time=0", static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 3000 && !fs::exists(folder / socket); ++i) std::this_thread::sleep_for(10ms);
  if (!fs::exists(folder / socket)) {
    kill(compositor, SIGKILL);
    waitpid(compositor, nullptr, 0);
    FAIL() << "weston (Debian's package weston) did not start";
  }
  // The client's side of the protocol, which names each window it opens.
  const std::string titled = "set_title(\"Tollivane\")";
  const Outcome outcome =
      run({}, {{"WAYLAND_DISPLAY", socket}, {"WAYLAND_DEBUG", "client"}}, 60s,
          [&](const std::string& err) { return occurrences(err, titled) >= 2; });
  kill(compositor, SIGTERM);
  waitpid(compositor, nullptr, 0);
  EXPECT_FALSE(outcome.ended) << outcome.err.substr(0, 2000);
  EXPECT_EQ(occurrences(outcome.err, titled), 2) << "the main window and the notice";
  EXPECT_EQ(outcome.err.find("tollivane: "), std::string::npos);
}

// tollivane --run: the game starts whatever becomes of Tollivane, and its exit status (128 +
// the signal that ended it) is the program's. Beside its own copy, the game waits until that
// copy takes a command, so the copy was up, said its settings' notice in one line instead of a
// box that waits for an answer, and ended with the game.
TEST_F(Startup, RunStartsTheGameAndPassesItsExitStatusOn) {
  Xvfb server;
  const std::string marker = (folder / "started").string();
  const std::string self = (folder / "tollivane").string();
  struct Case {
    const char* what;
    std::map<std::string, std::string> environment;
    std::string game;
    int status;
  };
  const Case cases[] = {
      {"no display", {}, "touch " + marker + "; exit 7", 7},
      {"killed", {}, "kill -9 $$", 128 + SIGKILL},
      // A launcher stops the game by stopping what it started: the game hears of it.
      {"stopped through us",
       {},
       "trap 'exit 9' TERM; kill -TERM $PPID; i=0; while [ $i -lt 300 ]; do sleep 0.1; "
       "i=$((i + 1)); done; exit 1",
       9},
      {"beside its own copy",
       {{"DISPLAY", server.display()}},
       "until " + self + " --stop 2>/dev/null; do sleep 0.2; done; exit 5",
       5},
  };
  std::ofstream(folder / "Tollivane.ini") << "[main]\nhotkey1=99999999999\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome outcome = run({"--run", "--", "sh", "-c", c.game}, c.environment, 60s);
    EXPECT_EQ(outcome.exitCode, c.status) << outcome.err;
    EXPECT_EQ(lines(outcome.err), 1) << outcome.err;
  }
  EXPECT_TRUE(fs::exists(marker));
  const Outcome missing = run({"--run", "--", (folder / "no-such-game").string()}, {});
  EXPECT_EQ(missing.exitCode, 127);
  EXPECT_EQ(lines(missing.err), 1) << missing.err;
}

// Launchers and autostart may start it with its standard streams closed. Qt's first warning
// (here for the missing XDG_RUNTIME_DIR) must never land in an X connection that took their
// number: the window shows, its loop goes on, and a command from the command line is answered.
TEST_F(Startup, ClosedStandardStreamsNeverTakeTheDisplaysPlace) {
  Xvfb server;
  const std::vector<std::vector<int>> closings = {{STDERR_FILENO},
                                                  {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}};
  for (const std::vector<int>& closed : closings) {
    SCOPED_TRACE(closed.size() == 1 ? "standard error closed" : "all three closed");
    const pid_t child = fork();
    if (child == 0) {
      clearenv();
      setenv("PATH", "/usr/bin:/bin", 1);
      setenv("HOME", folder.c_str(), 1);
      setenv("DISPLAY", server.display().c_str(), 1);
      for (const int fd : closed) close(fd);
      execl((folder / "tollivane").c_str(), "tollivane", static_cast<char*>(nullptr));
      _exit(127);
    }
    TestClient client(server.display());
    std::optional<Area> window;
    for (int i = 0; i < 3000 && !(window = findWindowTitled(client, "Tollivane")); ++i) {
      std::this_thread::sleep_for(10ms);
    }
    // A few polls, each of which would block for good on a corrupted X stream.
    std::this_thread::sleep_for(1s);
    const Outcome start = run({"--start"}, {{"DISPLAY", server.display()}});
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(window.has_value()) << "no window";
    EXPECT_EQ(start.exitCode, 0) << start.err;
  }
}

}  // namespace
}  // namespace tollivane::x11test
