// The window-system options Qt takes from the command line, read before Qt starts, so that
// Tollivane's own X connection and its messages name the display and the platform asked for.
#pragma once

#include <optional>
#include <string>

namespace tollivane::frontend::qt {

struct QtOptions {
  std::optional<std::string> platform;  // -platform NAME
  std::optional<std::string> display;   // -display NAME
};

// Qt's spellings: "-platform x", "--platform x", "-platform=x"; the last one given counts.
QtOptions readQtOptions(int argc, const char* const* argv);

}  // namespace tollivane::frontend::qt
