#include "frontend/qt/game_launch.hpp"

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "frontend/qt/qt_shell.hpp"
#include "platform/posix/instance_name.hpp"
#include "platform/posix/single_instance.hpp"

extern char** environ;

namespace tollivane::frontend::qt {
namespace {

// A word no Tollivane acts on: it answers "refused", which says that it runs, and neither
// raises its window nor touches its clock.
constexpr std::string_view kAreYouThere = "run";

void sayOnStandardError(QMessageBox& box) {
  const QString text = box.text().simplified();
  std::fprintf(stderr, "tollivane: %s\n", text.toLocal8Bit().constData());
}

// The game, for the signal handler: a launcher that stops the game stops the program it
// started, which is us. The signal goes on to the game, and we end with the game as always.
volatile pid_t forwardTo = 0;
volatile std::sig_atomic_t forwardPending = 0;

void forward(int signal, siginfo_t* info, void*) {
  // Only what a process sent: a terminal's Ctrl+C reaches the game itself, and twice would be
  // one too many.
  if (info->si_code > 0) return;
  if (forwardTo > 0) {
    ::kill(forwardTo, signal);
  } else {
    forwardPending = signal;
  }
}

void forwardStops() {
  struct sigaction action {};
  action.sa_sigaction = forward;
  action.sa_flags = SA_SIGINFO | SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

int statusOf(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return 1;
}

}  // namespace

GameLaunch::GameLaunch(const std::vector<std::string>& program) {
  std::vector<char*> argv;
  for (const std::string& argument : program) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  forwardStops();  // the game resets them to the default as it starts
  const int error = ::posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), environ);
  started_ = error == 0;
  if (started_) {
    forwardTo = pid_;
    if (const int signal = forwardPending) ::kill(pid_, signal);
  } else {
    pid_ = -1;
    std::fprintf(stderr, "tollivane: cannot start %s: %s\n", argv[0], std::strerror(error));
  }
}

GameLaunch::~GameLaunch() = default;

void GameLaunch::reap(int options) {
  if (pid_ < 0) return;
  int waitStatus = 0;
  pid_t reaped = 0;
  do {
    reaped = ::waitpid(pid_, &waitStatus, options);
  } while (reaped < 0 && errno == EINTR);
  if (reaped == 0) return;
  status_ = reaped == pid_ ? statusOf(waitStatus) : 1;
  pid_ = -1;
}

int GameLaunch::wait() {
  reap(0);
  return status_;
}

void GameLaunch::holdWhileStarting(QtShell& shell) {
  shell.setEndAction([this](int) { endWithGame(); });
  shell.setMessageBoxPresenter(sayOnStandardError);
  endEventLoopWithGame();
}

void GameLaunch::windowShown(QtShell& shell) {
  shell.setMessageBoxPresenter([](QMessageBox& box) { box.exec(); });
}

void GameLaunch::endWithGame() {
  for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
  QCoreApplication::processEvents();
  std::fflush(nullptr);
  std::_Exit(wait());
}

void GameLaunch::endEventLoopWithGame() {
  if (pid_ < 0) {
    QTimer::singleShot(0, [this] { QCoreApplication::exit(status_); });
    return;
  }
  const auto ended = [this] {
    reap(WNOHANG);
    if (pid_ < 0) QCoreApplication::exit(status_);
  };
  // A pidfd turns readable when the game ends: no wakeup before then. Kernels before 5.3 have
  // none, and are asked at the poll's pace instead.
  const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
  if (pidfd >= 0) {
    auto notifier = std::make_unique<QSocketNotifier>(pidfd, QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, ended);
    QObject::connect(notifier.get(), &QObject::destroyed, [pidfd] { ::close(pidfd); });
    watch_ = std::move(notifier);
  } else {
    auto timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, ended);
    timer->start(200);
    watch_ = std::move(timer);
  }
}

bool useRunningCopy(const std::string& settingsPath, bool startClock) {
  using Result = platform::posix::SingleInstance::CommandResult;
  const std::string name = platform::posix::instanceName(::geteuid(), settingsPath);
  const Result result = platform::posix::SingleInstance::sendCommand(
      name, startClock ? std::string_view("start") : kAreYouThere);
  if (result == Result::Refused && startClock) {
    std::fprintf(stderr, "tollivane: the Tollivane running with %s did not start its clock\n",
                 settingsPath.c_str());
  }
  return result == Result::Taken || result == Result::Refused;
}

}  // namespace tollivane::frontend::qt
