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
  if (!wantsX && (platformChosen || isSet(environment.waylandDisplay))) return {};
  if (isSet(environment.display)) {
    return {.qpaPlatform = nullptr,
            .refusal = "tollivane: cannot open the X display \"" +
                       std::string(environment.display) + "\""};
  }
  return {.qpaPlatform = nullptr,
          .refusal = "tollivane: no display: DISPLAY is not set, so no window can open"};
}

}  // namespace tollivane::frontend::qt
