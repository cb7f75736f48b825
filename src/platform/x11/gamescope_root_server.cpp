#include "platform/x11/gamescope_root_server.hpp"

#include <X11/Xatom.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/x11/display_probe.hpp"

namespace tollivane::platform::x11 {
namespace {

std::optional<unsigned long> rootCardinal(Display* display, const char* name) {
  const Atom atom = XInternAtom(display, name, True);
  if (atom == 0) return std::nullopt;
  Atom type = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::optional<unsigned long> value;
  if (XGetWindowProperty(display, DefaultRootWindow(display), atom, 0, 1, False, XA_CARDINAL, &type,
                         &format, &count, &after, &data) == Success &&
      type == XA_CARDINAL && format == 32 && count == 1) {
    value = *reinterpret_cast<unsigned long*>(data);
  }
  if (data) XFree(data);
  return value;
}

}  // namespace

RootServer gamescopeRootServer(Display* own) {
  const std::optional<unsigned long> ownId = rootCardinal(own, "GAMESCOPE_XWAYLAND_SERVER_ID");
  if (!ownId || *ownId == 0) return {};
  const std::optional<unsigned long> pid = rootCardinal(own, "GAMESCOPE_PID");
  const std::string ownName = DisplayString(own);
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/tmp/.X11-unix", error)) {
    const std::string socket = entry.path().filename().string();
    if (socket.size() < 2 || socket[0] != 'X' ||
        socket.find_first_not_of("0123456789", 1) != std::string::npos) {
      continue;
    }
    const std::string name = ":" + socket.substr(1);
    if (name == ownName || ownName.starts_with(name + ".")) continue;
    // A server that stalls must not hold start-up.
    if (probeDisplay(name.c_str(), std::chrono::seconds(2)) == DisplayAnswer::Silent) continue;
    Display* other = XOpenDisplay(name.c_str());
    if (!other) continue;
    const bool first = rootCardinal(other, "GAMESCOPE_XWAYLAND_SERVER_ID") == 0ul &&
                       rootCardinal(other, "GAMESCOPE_PID") == pid;
    XCloseDisplay(other);
    if (first) return {true, name};
  }
  return {true, {}};
}

}  // namespace tollivane::platform::x11
