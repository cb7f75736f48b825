// tollivane --run [--start] -- PROGRAM [ARGUMENTS...], the form a launcher's wrapper field
// takes: everything after "--" is the game's, never read as an option of ours or the toolkit's.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tollivane {

struct GameLaunchLine {
  int ownArguments = 1;              // argv entries before "--run": the program's and the toolkit's
  bool startClock = false;           // --start: the clock starts when the game does
  std::vector<std::string> program;  // the game and its arguments; empty: the line is refused
};

// Nothing when the line holds no "--run"; a refused line when "--run" is not followed by an
// optional "--start", "--" and a program.
std::optional<GameLaunchLine> readGameLaunchLine(int argc, const char* const* argv);

// One command line as CreateProcess and the C runtime split it again into `arguments`.
std::string quoteCommandLine(const std::vector<std::string>& arguments);

}  // namespace tollivane
