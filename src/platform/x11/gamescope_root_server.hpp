// Gamescope takes its outside overlay only from its first Xwayland (server 0), the one it
// names in DISPLAY for Steam. A game gets another server when gamescope runs several
// (STEAM_GAME_DISPLAY_n), and a program started from a game's launch options inherits the
// game's. Each of gamescope's servers says on its root window which one it is
// (GAMESCOPE_XWAYLAND_SERVER_ID) and whose (GAMESCOPE_PID).
#pragma once

#include <string>

#include <X11/Xlib.h>

namespace tollivane::platform::x11 {

struct RootServer {
  bool elsewhere = false;  // `own` is one of gamescope's servers, but not server 0
  std::string name;        // then server 0's, when found among the local servers (/tmp/.X11-unix)
};

RootServer gamescopeRootServer(Display* own);

}  // namespace tollivane::platform::x11
