#include "xvfb.hpp"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace tollivane::x11test {

Xvfb::Xvfb(const std::string& screen) {
  int ready[2];
  if (pipe(ready) != 0) throw std::runtime_error("pipe failed");
  serverPid = fork();
  if (serverPid == 0) {
    close(ready[0]);
    const int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, STDOUT_FILENO);
    dup2(devnull, STDERR_FILENO);
    // -displayfd: the server picks a free display number and writes it when it accepts clients.
    const std::string fd = std::to_string(ready[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-dpi", "96",
           "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ready[1]);
  std::string number;
  pollfd waiting{ready[0], POLLIN, 0};
  char c = 0;
  while (poll(&waiting, 1, 10000) > 0 && read(ready[0], &c, 1) == 1 && c != '\n') number += c;
  close(ready[0]);
  if (number.empty()) {
    kill();
    throw std::runtime_error("Xvfb did not start");
  }
  name = ":" + number;
}

Xvfb::~Xvfb() { kill(); }

void Xvfb::kill() {
  if (serverPid <= 0) return;
  ::kill(serverPid, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (waitpid(serverPid, nullptr, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(serverPid, SIGKILL);
      waitpid(serverPid, nullptr, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  serverPid = -1;
}

}  // namespace tollivane::x11test
