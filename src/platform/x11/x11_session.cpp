#include "platform/x11/x11_session.hpp"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/shape.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/x11/display_probe.hpp"
#include "platform/x11/gamescope_mode.hpp"
#include "platform/x11/gamescope_overlay.hpp"
#include "platform/x11/gamescope_root_server.hpp"
#include "platform/x11/x11_errors.hpp"
#include "platform/x11/x11_key_state.hpp"
#include "platform/x11/x11_overlay_window.hpp"
#include "platform/x11/x11_surface.hpp"

namespace tollivane::platform::x11 {
namespace {

// Raw events of the master devices only: each slave's would report every key a second time.
// From version 2.1 on they arrive even while another client grabs the keyboard. Devices
// coming and going (any device's) tell that keys may have changed unseen.
int selectRawKeys(Display* display) {
  int opcode = 0;
  int firstEvent = 0;
  int firstError = 0;
  if (!XQueryExtension(display, "XInputExtension", &opcode, &firstEvent, &firstError)) return -1;
  int major = 2;
  int minor = 2;
  if (XIQueryVersion(display, &major, &minor) != Success) return -1;
  unsigned char keys[XIMaskLen(XI_RawKeyRelease)] = {};
  XISetMask(keys, XI_RawKeyPress);
  XISetMask(keys, XI_RawKeyRelease);
  unsigned char devices[XIMaskLen(XI_HierarchyChanged)] = {};
  XISetMask(devices, XI_HierarchyChanged);
  XIEventMask masks[] = {{XIAllMasterDevices, sizeof keys, keys},
                         {XIAllDevices, sizeof devices, devices}};
  XISelectEvents(display, DefaultRootWindow(display), masks, 2);
  return opcode;
}

int selectKeyboardChanges(Display* display) {
  int opcode = 0;
  int eventBase = 0;
  int errorBase = 0;
  int major = XkbMajorVersion;
  int minor = XkbMinorVersion;
  if (!XkbQueryExtension(display, &opcode, &eventBase, &errorBase, &major, &minor)) return -1;
  const unsigned long changes = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
  XkbSelectEvents(display, XkbUseCoreKbd, changes, changes);
  return eventBase;
}

}  // namespace

std::unique_ptr<X11Session> X11Session::open(const char* displayName) {
  keepAuthorityFileSafe();
  if (probeDisplay(displayName, kDisplayPatience) == DisplayAnswer::Silent) return nullptr;
  // Xlib says on standard error why a server refused it; the program says it in a line of its
  // own, so Xlib's go nowhere.
  std::fflush(stderr);
  const int standardError = ::dup(STDERR_FILENO);
  const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (standardError >= 0 && quiet >= 0) ::dup2(quiet, STDERR_FILENO);
  if (quiet >= 0) ::close(quiet);
  Display* display = XOpenDisplay(displayName);
  if (standardError >= 0) {
    ::dup2(standardError, STDERR_FILENO);
    ::close(standardError);
  }
  if (!display) return nullptr;
  return std::unique_ptr<X11Session>(new X11Session(display));
}

X11Session::X11Session(Display* display) : display_(display) {
  trapErrorsOf(display_);
  xinputOpcode_ = selectRawKeys(display_);
  xkbEventBase_ = selectKeyboardChanges(display_);
  // Events already read come with each reply; those still in the socket wake the event loop,
  // which handles them before any timer of the same wakeup. So a drain needs no system call.
  auto drain = [this] { handleEvents(false); };
  masks_ = std::make_unique<WindowEventMasks>(display_);
  keyState_ = std::make_unique<X11KeyState>(display_, drain);
  // A Wayland compositor's XWayland, as far as can be told without asking the server.
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  foreground_ = std::make_unique<X11Surface>(display_, *masks_, drain, wayland && *wayland);
  if (isGamescope(std::getenv("GAMESCOPE_WAYLAND_DISPLAY"), std::getenv("XDG_CURRENT_DESKTOP"))) {
    openGamescopeOverlay();
  } else if (int shapeEvents = 0, shapeErrors = 0;
             XShapeQueryExtension(display_, &shapeEvents, &shapeErrors)) {
    overlay_ = std::make_unique<X11OverlayWindow>(display_, *foreground_);
  }
  XFlush(display_);
}

// Drawn where gamescope looks for it; a game's own server is only the fallback, where the
// clock stays unseen but nothing else changes.
void X11Session::openGamescopeOverlay() {
  const RootServer first = gamescopeRootServer(display_);
  if (!first.name.empty() &&
      probeDisplay(first.name.c_str(), kDisplayPatience) != DisplayAnswer::Silent) {
    overlayDisplay_ = XOpenDisplay(first.name.c_str());
    if (overlayDisplay_) trapErrorsOf(overlayDisplay_);
  }
  if (first.elsewhere && !overlayDisplay_) {
    std::fprintf(stderr,
                 "Gamescope's first X server, where it shows overlays, could not be reached; "
                 "the clock stays on %s, where gamescope does not show it.\n",
                 DisplayString(display_));
  }
  gamescope_ = std::make_unique<GamescopeOverlay>(overlayDisplay_ ? overlayDisplay_ : display_,
                                                  *foreground_, overlayDisplay_ == nullptr);
}

X11Session::~X11Session() {
  gamescope_.reset();
  if (overlayDisplay_) {
    XCloseDisplay(overlayDisplay_);
    stopTrapping(overlayDisplay_);
  }
  overlay_.reset();
  foreground_.reset();
  keyState_.reset();
  masks_.reset();
  XCloseDisplay(display_);
  stopTrapping(display_);
}

int X11Session::connectionFd() const { return ConnectionNumber(display_); }

void X11Session::processPendingEvents() { handleEvents(true); }

void X11Session::handleEvents(bool readSocket) {
  // XPending reads what the socket holds without waiting for more; QLength only counts what
  // is queued already, without a call or a lock: every key query asks.
  while ((readSocket ? XPending(display_) : QLength(display_)) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == GenericEvent && event.xcookie.extension == xinputOpcode_) {
      if (XGetEventData(display_, &event.xcookie)) {
        const int type = event.xcookie.evtype;
        if (type == XI_RawKeyPress || type == XI_RawKeyRelease) {
          keyState_->onRawKey(static_cast<const XIRawEvent*>(event.xcookie.data)->detail,
                              type == XI_RawKeyPress, event.xcookie.serial);
        } else if (type == XI_HierarchyChanged) {
          keyState_->keysMayBeMissed();
        }
        XFreeEventData(display_, &event.xcookie);
      }
    } else if (event.type == MappingNotify) {
      XRefreshKeyboardMapping(&event.xmapping);
      keyState_->reloadKeyboardMapping();
    } else if (xkbEventBase_ >= 0 && event.type == xkbEventBase_ + XkbEventCode) {
      keyState_->reloadKeyboardMapping();
    } else if (event.type == PropertyNotify) {
      foreground_->onRootPropertyChanged(event.xproperty.atom);
    } else if (event.type == FocusIn || event.type == FocusOut) {
      foreground_->onFocusChanged(event.xfocus.detail);
      // Under XWayland, keys change unseen while a window of another kind has the focus.
      if (event.xfocus.detail != NotifyPointer) keyState_->keysMayBeMissed();
    } else {
      // The window of our own hears first whether the window it stands over went away.
      if (overlay_) overlay_->onEvent(event);
      if (gamescope_ && !overlayDisplay_) gamescope_->onEvent(event);
      foreground_->onStructureEvent(event);
    }
  }
}

void X11Session::sync() {
  XSync(display_, False);
  handleEvents(false);
}

platform::KeyState& X11Session::keys() { return *keyState_; }
platform::DirectSurface& X11Session::direct() { return *foreground_; }
platform::OwnWindowSurface* X11Session::ownWindow() {
  if (gamescope_) return gamescope_.get();
  return overlay_.get();
}
X11OverlayWindow* X11Session::overlayWindow() { return overlay_.get(); }
unsigned long X11Session::trappedErrors() const { return trappedErrorCount(display_); }

void X11Session::reclaimErrorHandlers() { x11::reclaimErrorHandlers(); }

}  // namespace tollivane::platform::x11
