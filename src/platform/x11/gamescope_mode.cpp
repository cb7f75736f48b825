#include "platform/x11/gamescope_mode.hpp"

#include <string_view>

namespace tollivane::platform::x11 {

bool isGamescope(const char* gamescopeWaylandDisplay, const char* currentDesktop) {
  if (gamescopeWaylandDisplay && *gamescopeWaylandDisplay) return true;
  std::string_view desktops = currentDesktop ? currentDesktop : "";
  while (!desktops.empty()) {
    const std::size_t end = desktops.find(':');
    if (desktops.substr(0, end) == "gamescope") return true;
    if (end == std::string_view::npos) break;
    desktops.remove_prefix(end + 1);
  }
  return false;
}

}  // namespace tollivane::platform::x11
