// Whether the program runs inside gamescope (Steam Deck's game mode), told from the
// environment gamescope gives its children, without asking any server.
#pragma once

namespace tollivane::platform::x11 {

// `gamescopeWaylandDisplay`: GAMESCOPE_WAYLAND_DISPLAY; `currentDesktop`: XDG_CURRENT_DESKTOP,
// a list separated by colons. Either may be null; unset and empty count the same.
bool isGamescope(const char* gamescopeWaylandDisplay, const char* currentDesktop);

}  // namespace tollivane::platform::x11
