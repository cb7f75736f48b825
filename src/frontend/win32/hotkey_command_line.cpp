#include "frontend/win32/hotkey_command_line.hpp"

#include <windows.h>

#include <string_view>

#include "common/hotkey_commands.hpp"
#include "platform/win32/single_instance.hpp"

namespace tollivane::frontend::win32 {
namespace {

// A program of the Windows subsystem has a standard error only when it was redirected, or
// once it borrows the console of the one that started it.
void sayOnStandardError(const std::string& line) {
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if ((error == nullptr || error == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
    error = GetStdHandle(STD_ERROR_HANDLE);
  }
  if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(error, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace

std::optional<int> handOnHotkeyCommand(int argc, const char* const* argv,
                                       const std::string& settingsPath) {
  std::optional<std::string_view> word;
  for (int i = 1; i < argc && !word; ++i) word = commandOfOption(argv[i]);
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
