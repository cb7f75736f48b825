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
  const std::string option = "--" + std::string(*word);
  switch (platform::win32::SingleInstance::sendCommand(settingsPath, *word)) {
    case Result::Taken:
      return 0;
    case Result::Refused:
      sayOnStandardError("tollivane: the Tollivane running with " + settingsPath + " cannot " +
                         option + ": its hotkey is not usable\r\n");
      return 1;
    case Result::NoneRunning:
      break;
  }
  sayOnStandardError("tollivane: no Tollivane is running with " + settingsPath + "; " + option +
                     " was not given to any\r\n");
  return 1;
}

}  // namespace tollivane::frontend::win32
