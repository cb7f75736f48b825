#include "app_process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace tollivane::x11test {

AppProcess::AppProcess(const std::filesystem::path& executable, const std::string& display,
                       const std::string& settings, const std::vector<std::string>& arguments) {
  char pattern[] = "/tmp/tollivane-x11-XXXXXX";
  if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
  home = pattern;
  const std::filesystem::path copy = home / executable.filename();
  std::filesystem::copy_file(executable, copy);
  if (!settings.empty()) std::ofstream(home / "Tollivane.ini") << settings;
  start(copy, display, false, arguments);
}

AppProcess::AppProcess(const std::filesystem::path& executable, const std::string& display, InPlace,
                       const std::vector<std::string>& arguments) {
  char pattern[] = "/tmp/tollivane-x11-XXXXXX";
  if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
  home = pattern;
  start(executable, display, true, arguments);
}

void AppProcess::start(const std::filesystem::path& program, const std::string& display,
                       bool ownHome, const std::vector<std::string>& arguments) {
  const std::string log = (home / "output.log").string();
  child = fork();
  if (child == 0) {
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SESSION_MANAGER");
    if (ownHome) {
      setenv("HOME", home.c_str(), 1);
      unsetenv("XDG_CONFIG_HOME");
    }
    std::vector<const char*> argv{program.c_str()};
    for (const std::string& a : arguments) argv.push_back(a.c_str());
    argv.push_back(nullptr);
    execv(program.c_str(), const_cast<char* const*>(argv.data()));
    _exit(127);
  }
}

AppProcess::~AppProcess() {
  if (running()) {
    kill(child, SIGTERM);
    for (int i = 0; i < 200 && running(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (running()) {
      kill(child, SIGKILL);
      waitpid(child, nullptr, 0);
    }
  }
  std::error_code ignored;
  std::filesystem::remove_all(home, ignored);
}

bool AppProcess::running() {
  if (child <= 0) return false;
  int ended = 0;
  if (waitpid(child, &ended, WNOHANG) == 0) return true;
  status = WIFEXITED(ended) ? WEXITSTATUS(ended) : 128 + WTERMSIG(ended);
  child = -1;
  return false;
}

int AppProcess::waitForExit(std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (running() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return running() ? -1 : status;
}

std::string AppProcess::output() const {
  std::ifstream in(home / "output.log");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::optional<Area> findWindowTitled(TestClient& client, const std::string& title, Window* found) {
  Display* d = client.display();
  const Atom wmName = XInternAtom(d, "WM_NAME", False);
  Window rootReturn = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(d, client.root(), &rootReturn, &parent, &children, &count)) return std::nullopt;
  std::optional<Area> result;
  for (unsigned i = 0; i < count && !result; ++i) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(d, children[i], &attributes) || attributes.map_state != IsViewable ||
        attributes.override_redirect) {
      continue;
    }
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(d, children[i], wmName, 0, 256, False, AnyPropertyType, &type, &format,
                       &items, &after, &data);
    if (data && format == 8 && std::string(reinterpret_cast<char*>(data), items) == title) {
      result = Area{attributes.x, attributes.y, attributes.width, attributes.height};
      if (found) *found = children[i];
    }
    if (data) XFree(data);
  }
  if (children) XFree(children);
  return result;
}

long memoryKiB(pid_t pid, const char* field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  const std::string prefix = std::string(field) + ":";
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(prefix, 0) == 0) return std::stol(line.substr(prefix.size()));
  }
  return -1;
}

}  // namespace tollivane::x11test
