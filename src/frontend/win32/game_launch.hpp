// tollivane.exe --run [--start] -- PROGRAM [ARGUMENTS...]: the game started before anything of
// ours that can fail, and waited for, so that a launcher sees the game start and end with its
// own exit status whatever becomes of Tollivane beside it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "common/game_launch_line.hpp"

namespace tollivane::frontend::win32 {

// The launch the command line asks for, read from its UTF-16 form so that any path survives;
// nothing without --run. A refused line is said on standard error.
std::optional<GameLaunchLine> readGameLaunch();

class GameLaunch {
 public:
  // Starts `program` (UTF-8; found as CreateProcess finds a program) with this process's
  // environment and standard handles; says on standard error when it cannot.
  explicit GameLaunch(const std::vector<std::string>& program);
  ~GameLaunch();
  GameLaunch(const GameLaunch&) = delete;
  GameLaunch& operator=(const GameLaunch&) = delete;

  bool started() const { return process_ != nullptr; }
  // Signalled once the game has ended; null when it never started.
  HANDLE process() const { return process_; }
  // Waits for the game to end: its exit code, or 127 when it never started.
  int wait();
  // Ends the program at once as far as the user sees, hiding its windows, but with the
  // game's exit code once the game ends.
  [[noreturn]] void endWithGame();

 private:
  HANDLE process_ = nullptr;
};

// Hands "start" to the Tollivane running with `settingsPath` when `startClock`, else asks only
// whether one runs; true when one answered, so that this process opens no window of its own.
bool useRunningCopy(const std::string& settingsPath, bool startClock);

// The message loop of `dialog` until WM_QUIT, or until the game ends; with a game, the exit
// status is the game's.
int runMessageLoop(HWND dialog, GameLaunch* game);

}  // namespace tollivane::frontend::win32
