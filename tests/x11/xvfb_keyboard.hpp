// A private Xvfb for a test, and keys pressed on it through XTEST: each press is exactly
// that key, as a real keyboard would send it. Free of Xlib's headers, whose macros clash
// with Qt's.
#pragma once

#include <memory>
#include <string>

#include "xvfb.hpp"

struct _XDisplay;

namespace tollivane::testing {

class XvfbKeyboard {
 public:
  // Starts Xvfb on a display number the server picks and connects; ok() tells whether that
  // worked.
  XvfbKeyboard();
  ~XvfbKeyboard();
  XvfbKeyboard(const XvfbKeyboard&) = delete;
  XvfbKeyboard& operator=(const XvfbKeyboard&) = delete;

  bool ok() const { return display_ != nullptr; }
  const std::string& name() const { return server_->display(); }  // ":N"

  // Presses (down) or releases (up) the first key that carries the keysym.
  void down(unsigned long keysym);
  void up(unsigned long keysym);
  // Takes the server's console-switch action off a function key, as Xwayland and nested
  // servers have none: Ctrl+Alt+F5 then reaches the client as the XF86Switch_VT_5 keysym.
  bool dropConsoleSwitch(int functionKey);

 private:
  std::unique_ptr<x11test::Xvfb> server_;
  _XDisplay* display_ = nullptr;
};

}  // namespace tollivane::testing
