#include "frontend/qt/display_choice.hpp"

#include <string_view>

namespace tollivane::frontend::qt {

namespace {

bool isSet(const char* value) { return value != nullptr && *value != '\0'; }

}  // namespace

DisplayChoice chooseDisplay(const DisplayEnvironment& environment) {
  const bool platformChosen = isSet(environment.qpaPlatform);
  // Qt's windows on the X server whose keys we read, unless the user chose otherwise.
  if (environment.xOpened) return {.qpaPlatform = platformChosen ? nullptr : "xcb", .refusal = {}};
  const bool wantsX =
      platformChosen && std::string_view(environment.qpaPlatform).starts_with("xcb");
  if (platformChosen && !wantsX) return {};
  if (!platformChosen && isSet(environment.waylandDisplay)) {
    // Wayland alone: named outright, so that Qt never falls back to a dead X display.
    if (environment.qtHasWayland()) return {.qpaPlatform = "wayland", .refusal = {}};
    return {.qpaPlatform = nullptr,
            .refusal =
                "tollivane: no X display, and Qt's Wayland support is not installed: "
                "install the package qt6-wayland, or start Tollivane where DISPLAY names "
                "an X server"};
  }
  if (isSet(environment.display)) {
    return {.qpaPlatform = nullptr,
            .refusal = "tollivane: cannot open the X display \"" +
                       std::string(environment.display) + "\""};
  }
  return {.qpaPlatform = nullptr,
          .refusal = "tollivane: no display: DISPLAY is not set, so no window can open"};
}

}  // namespace tollivane::frontend::qt
