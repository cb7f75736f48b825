#include "frontend/qt/qt_options.hpp"

#include <string_view>

namespace tollivane::frontend::qt {

QtOptions readQtOptions(int argc, const char* const* argv) {
  QtOptions options;
  for (int i = 1; i < argc; ++i) {
    std::string_view argument = argv[i];
    if (!argument.starts_with('-')) continue;
    argument.remove_prefix(argument.starts_with("--") ? 2 : 1);
    const auto equals = argument.find('=');
    const std::string_view name = argument.substr(0, equals);
    std::optional<std::string>* option = name == "platform"  ? &options.platform
                                         : name == "display" ? &options.display
                                                             : nullptr;
    if (option == nullptr) continue;
    if (equals != std::string_view::npos) {
      *option = std::string(argument.substr(equals + 1));
    } else if (i + 1 < argc) {
      *option = argv[++i];
    }
  }
  return options;
}

}  // namespace tollivane::frontend::qt
