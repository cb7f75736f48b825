// The game that tollivane --run starts: started before anything of ours that can fail, and
// waited for, so that a launcher sees the game start and end with its own exit status whatever
// becomes of Tollivane beside it.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

class QMessageBox;
class QObject;

namespace tollivane::frontend::qt {

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
  // Ends Qt's event loop with wait()'s status once the game has ended.
  void endEventLoopWithGame();
  // Ends the program at once as far as the user sees, hiding its windows, but with the
  // game's status once the game ends.
  [[noreturn]] void endWithGame();

 private:
  void reap(int options);

  pid_t pid_ = -1;
  bool started_ = false;
  int status_ = 127;
  std::unique_ptr<QObject> watch_;
};

// A message box said in one line on standard error instead: while a game starts, nothing of
// Tollivane's waits for an answer.
void sayOnStandardError(QMessageBox& box);

// Hands "start" to the Tollivane running with `settingsPath` when `startClock`, else asks only
// whether one runs; true when one answered, so that this process opens no window of its own.
bool useRunningCopy(const std::string& settingsPath, bool startClock);

}  // namespace tollivane::frontend::qt
