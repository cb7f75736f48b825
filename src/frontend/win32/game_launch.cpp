#include "frontend/win32/game_launch.hpp"

#include <shellapi.h>

#include <string_view>

#include "frontend/win32/standard_error.hpp"
#include "platform/win32/single_instance.hpp"
#include "platform/win32/wide_text.hpp"

namespace tollivane::frontend::win32 {
namespace {

// A word no Tollivane acts on: it answers "refused", which says that it runs, and neither
// raises its window nor touches its clock.
constexpr std::string_view kAreYouThere = "run";

constexpr int kNotStarted = 127;

}  // namespace

std::optional<GameLaunchLine> readGameLaunch() {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::nullopt;
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(platform::win32::narrow(wide[i]));
  LocalFree(wide);
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  std::optional<GameLaunchLine> line = readGameLaunchLine(count, argv.data());
  if (line && line->program.empty()) {
    sayOnStandardError(
        "tollivane: --run takes [--start] -- PROGRAM [ARGUMENTS...], as in\r\n"
        "  tollivane.exe --run --start -- \"C:\\Games\\game.exe\" -arg\r\n");
  }
  return line;
}

GameLaunch::GameLaunch(const std::vector<std::string>& program) {
  std::wstring commandLine = platform::win32::widen(quoteCommandLine(program));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    sayOnStandardError("tollivane: cannot start " + program.front() + ": " +
                       platform::win32::systemMessage(GetLastError()) + "\r\n");
    return;
  }
  CloseHandle(started.hThread);
  process_ = started.hProcess;
}

GameLaunch::~GameLaunch() {
  if (process_ != nullptr) CloseHandle(process_);
}

int GameLaunch::wait() {
  if (process_ == nullptr) return kNotStarted;
  WaitForSingleObject(process_, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process_, &code);
  return static_cast<int>(code);
}

void GameLaunch::endWithGame() {
  for (HWND window = FindWindowExW(nullptr, nullptr, nullptr, nullptr); window != nullptr;
       window = FindWindowExW(nullptr, window, nullptr, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == GetCurrentProcessId()) ShowWindow(window, SW_HIDE);
  }
  ExitProcess(static_cast<UINT>(wait()));
}

bool useRunningCopy(const std::string& settingsPath, bool startClock) {
  using Result = platform::win32::SingleInstance::CommandResult;
  const Result result = platform::win32::SingleInstance::sendCommand(
      settingsPath, startClock ? std::string_view("start") : kAreYouThere);
  if (result == Result::Refused && startClock) {
    sayOnStandardError("tollivane: the Tollivane running with " + settingsPath +
                       " did not start its clock\r\n");
  }
  return result == Result::Taken || result == Result::Refused;
}

int runMessageLoop(HWND dialog, GameLaunch* game) {
  HANDLE ended = game != nullptr ? game->process() : nullptr;
  for (;;) {
    // The game's end wakes the loop like a message: no polling for it.
    const DWORD woken =
        MsgWaitForMultipleObjects(ended != nullptr ? 1 : 0, &ended, FALSE, INFINITE, QS_ALLINPUT);
    if (ended != nullptr && woken == WAIT_OBJECT_0) return game->wait();
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        return game != nullptr ? game->wait() : 0;
      }
      if (!IsDialogMessageW(dialog, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
  }
}

}  // namespace tollivane::frontend::win32
