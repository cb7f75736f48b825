#include "common/hotkey_commands.hpp"

namespace tollivane {

std::optional<std::size_t> bindingOfCommand(std::string_view word) {
  for (std::size_t i = 0; i < kHotkeyCommandWords.size(); ++i) {
    if (kHotkeyCommandWords[i] == word) return i;
  }
  return std::nullopt;
}

std::optional<std::string_view> commandOfOption(std::string_view argument) {
  if (!argument.starts_with("--")) return std::nullopt;
  argument.remove_prefix(2);
  if (const std::optional<std::size_t> binding = bindingOfCommand(argument)) {
    return kHotkeyCommandWords[*binding];
  }
  return std::nullopt;
}

}  // namespace tollivane
