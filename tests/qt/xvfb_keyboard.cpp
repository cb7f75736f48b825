#include "xvfb_keyboard.hpp"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace tollivane::testing {

XvfbKeyboard::XvfbKeyboard() {
  int number = 93;
  struct stat st {};
  while (stat(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), &st) == 0 ||
         stat(("/tmp/.X" + std::to_string(number) + "-lock").c_str(), &st) == 0) {
    ++number;
  }
  name_ = ":" + std::to_string(number);
  server_ = fork();
  if (server_ == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execlp("Xvfb", "Xvfb", name_.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 100 && display_ == nullptr; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    display_ = XOpenDisplay(name_.c_str());
  }
}

XvfbKeyboard::~XvfbKeyboard() {
  if (display_ != nullptr) XCloseDisplay(display_);
  if (server_ > 0) {
    kill(server_, SIGTERM);
    waitpid(server_, nullptr, 0);
  }
}

void XvfbKeyboard::down(unsigned long keysym) {
  XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, keysym), True, CurrentTime);
  XFlush(display_);
}

void XvfbKeyboard::up(unsigned long keysym) {
  XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, keysym), False, CurrentTime);
  XFlush(display_);
}

bool XvfbKeyboard::dropConsoleSwitch(int functionKey) {
  const std::string file = "/tmp/tollivane-keymap-" + std::to_string(getpid()) + ".xkb";
  if (std::system(("xkbcomp -xkb " + name_ + " " + file + " 2>/dev/null").c_str()) != 0) {
    return false;
  }
  std::stringstream text;
  text << std::ifstream(file).rdbuf();
  std::string keymap = text.str();
  // The key's symbols line gains an action list with no action on any level.
  const std::string key =
      "key <FK" + std::string(functionKey < 10 ? "0" : "") + std::to_string(functionKey) + ">";
  const auto at = keymap.find(key);
  const auto list = at == std::string::npos ? at : keymap.find("= [", keymap.find("symbols", at));
  const auto end = list == std::string::npos ? list : keymap.find(']', list);
  if (end == std::string::npos) return false;
  keymap.insert(end + 1,
                ",\n        actions[Group1]= [ NoAction(), NoAction(), NoAction(), "
                "NoAction(), NoAction() ]");
  std::ofstream(file) << keymap;
  const bool loaded =
      std::system(("xkbcomp " + file + " " + name_ + " >/dev/null 2>&1").c_str()) == 0;
  std::remove(file.c_str());
  return loaded;
}

}  // namespace tollivane::testing
