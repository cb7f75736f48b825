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

CommandOutcome commandOutcome(CommandAnswer answer, std::string_view settingsPath,
                              std::string_view word) {
  const std::string path(settingsPath);
  const std::string option = "--" + std::string(word);
  switch (answer) {
    case CommandAnswer::Taken:
      return {0, {}};
    case CommandAnswer::Refused:
      return {1, "tollivane: the Tollivane running with " + path + " cannot " + option +
                     ": its hotkey is not usable"};
    case CommandAnswer::NotAnswering:
      return {3, "tollivane: the Tollivane running with " + path +
                     " does not answer (stopped or hung); " + option + " was not given to it"};
    case CommandAnswer::NoneRunning:
      break;
  }
  return {1, "tollivane: no Tollivane is running with " + path + "; " + option +
                 " was not given to any"};
}

}  // namespace tollivane
