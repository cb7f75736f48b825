#include "xvfb_keyboard.hpp"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tollivane::testing {

XvfbKeyboard::XvfbKeyboard() {
  try {
    server_ = std::make_unique<x11test::Xvfb>();
  } catch (const std::runtime_error&) {
    return;
  }
  display_ = XOpenDisplay(name().c_str());
}

XvfbKeyboard::~XvfbKeyboard() {
  if (display_ != nullptr) XCloseDisplay(display_);
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
  if (std::system(("xkbcomp -xkb " + name() + " " + file + " 2>/dev/null").c_str()) != 0) {
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
      std::system(("xkbcomp " + file + " " + name() + " >/dev/null 2>&1").c_str()) == 0;
  std::remove(file.c_str());
  return loaded;
}

}  // namespace tollivane::testing
