// One DrawTextA as it went onto a window, kept by a surface to be looked for on the screen.
#pragma once

#include <string_view>

#include "platform/platform.hpp"

namespace tollivane::platform {

struct DrawnText {
  WindowHandle window = 0;  // whose context it was drawn in; 0: the screen's
  Rect rect{};
  std::string_view text;  // the surface's own copy, valid until its next text
  unsigned format = 0;
  ColorRef color = 0;
};

}  // namespace tollivane::platform
