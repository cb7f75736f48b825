// The game that tollivane --run starts: started before anything of ours that can fail, and
// waited for, so that a launcher sees the game start and end with its own exit status whatever
// becomes of Tollivane beside it.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

class QObject;

namespace tollivane::frontend::qt {

class QtShell;

class GameLaunch {
 public:
  // Starts `program` (searched on PATH) with this process's environment and standard streams;
  // says on standard error when it cannot.
  explicit GameLaunch(const std::vector<std::string>& program);
  ~GameLaunch();
  GameLaunch(const GameLaunch&) = delete;
  GameLaunch& operator=(const GameLaunch&) = delete;

  bool started() const { return started_; }
  // Waits for the game to end: its exit status, 128 + the signal that ended it, or 127 when it
  // never started.
  int wait();
  // From here on Qt's event loop ends with wait()'s status once the game has ended, and the
  // shell's end of the program waits for the game; until windowShown, the shell's message
  // boxes are lines on standard error, so that nothing waits on an answer.
  void holdWhileStarting(QtShell& shell);
  void windowShown(QtShell& shell);

 private:
  void reap(int options);
  void endEventLoopWithGame();
  // Ends the program at once as far as the user sees, hiding its windows, but with the
  // game's exit status once the game ends.
  [[noreturn]] void endWithGame();

  pid_t pid_ = -1;
  bool started_ = false;
  int status_ = 127;
  std::unique_ptr<QObject> watch_;
};

// Hands "start" to the Tollivane running with `settingsPath` when `startClock`, else asks only
// whether one runs; true when one answered, so that this process opens no window of its own.
bool useRunningCopy(const std::string& settingsPath, bool startClock);

}  // namespace tollivane::frontend::qt
