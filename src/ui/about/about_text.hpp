// The About window's description: eight lines joined by CR LF, none after the last.
#pragma once

#include <string>

namespace tollivane::ui {

std::string aboutDescriptionText();

}  // namespace tollivane::ui
