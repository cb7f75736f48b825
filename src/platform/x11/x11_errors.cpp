#include "platform/x11/x11_errors.hpp"

#include <X11/Xlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace tollivane::platform::x11 {
namespace {

struct Trapped {
  Display* display = nullptr;
  unsigned long errors = 0;
};

// Every connection of ours, however many: an untrapped one would end the program on its first
// error through Xlib's default handler.
std::vector<Trapped> trapped;
XErrorHandler previousErrorHandler = nullptr;
XIOErrorHandler previousIoErrorHandler = nullptr;
bool handlersInstalled = false;

Trapped* find(Display* display) {
  for (Trapped& entry : trapped) {
    if (entry.display == display) return &entry;
  }
  return nullptr;
}

int onError(Display* display, XErrorEvent* event) {
  if (Trapped* entry = find(display)) {
    ++entry->errors;
    return 0;
  }
  return previousErrorHandler ? previousErrorHandler(display, event) : 0;
}

int onIoError(Display* display) {
  if (find(display)) lostConnection();
  return previousIoErrorHandler ? previousIoErrorHandler(display) : 0;
}

#ifdef TOLLIVANE_HAVE_IO_ERROR_EXIT_HANDLER
// Reached when a handler installed after ours returned for our connection.
void onIoErrorExit(Display*, void*) { lostConnection(); }
#endif

}  // namespace

void lostConnection() {
  std::fputs("Tollivane: lost the connection to the X server\n", stderr);
  // Not exit(): destructors and atexit handlers would talk to the dead connection again.
  std::_Exit(EXIT_FAILURE);
}

void reclaimErrorHandlers() {
  // Whoever installed handlers since ours keeps every other connection.
  if (const XErrorHandler last = XSetErrorHandler(onError); last != onError) {
    previousErrorHandler = last;
  }
  if (const XIOErrorHandler last = XSetIOErrorHandler(onIoError); last != onIoError) {
    previousIoErrorHandler = last;
  }
  handlersInstalled = true;
}

void trapErrorsOf(Display* display) {
  if (!handlersInstalled) reclaimErrorHandlers();
  if (find(display)) return;
  trapped.push_back({display, 0});
#ifdef TOLLIVANE_HAVE_IO_ERROR_EXIT_HANDLER
  XSetIOErrorExitHandler(display, onIoErrorExit, nullptr);
#endif
}

void stopTrapping(Display* display) {
  std::erase_if(trapped, [display](const Trapped& entry) { return entry.display == display; });
}

unsigned long trappedErrorCount(Display* display) {
  const Trapped* entry = find(display);
  return entry ? entry->errors : 0;
}

}  // namespace tollivane::platform::x11
