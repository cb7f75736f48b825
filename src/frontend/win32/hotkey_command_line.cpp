#include "frontend/win32/hotkey_command_line.hpp"

#include <windows.h>

#include <string_view>

#include "common/hotkey_commands.hpp"
#include "frontend/win32/standard_error.hpp"
#include "platform/win32/single_instance.hpp"

namespace tollivane::frontend::win32 {

std::optional<int> handOnHotkeyCommand(int argc, const char* const* argv,
                                       const std::string& settingsPath) {
  std::optional<std::string_view> word;
  // After --run the line is the game's: --start there is the launch's, and handed on by it.
  for (int i = 1; i < argc && !word && std::string_view(argv[i]) != "--run"; ++i) {
    word = commandOfOption(argv[i]);
  }
  if (!word) return std::nullopt;
  using Result = platform::win32::SingleInstance::CommandResult;
  CommandAnswer answer = CommandAnswer::NoneRunning;
  switch (platform::win32::SingleInstance::sendCommand(settingsPath, *word)) {
    case Result::Taken:
      answer = CommandAnswer::Taken;
      break;
    case Result::Refused:
      answer = CommandAnswer::Refused;
      break;
    case Result::NotAnswering:
      answer = CommandAnswer::NotAnswering;
      break;
    case Result::NoneRunning:
      break;
  }
  const CommandOutcome outcome = commandOutcome(answer, settingsPath, *word);
  if (!outcome.line.empty()) sayOnStandardError(outcome.line + "\r\n");
  return outcome.status;
}

}  // namespace tollivane::frontend::win32
