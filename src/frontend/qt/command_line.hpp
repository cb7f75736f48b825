// What the command line asks for, read before any display is needed: --help and --version
// answer without one, and anything unknown is refused instead of being ignored.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/game_launch_line.hpp"

namespace tollivane::frontend::qt {

enum class CommandLineAction {
  Run,      // nothing of ours: open the window (Qt's own options pass through to Qt)
  Help,     // print the usage to standard output, exit 0
  Version,  // print the name and version, exit 0
  Unknown,  // print the offending argument and the usage to standard error, exit 2
  Command,  // hand a hotkey's command to the running program, never opening a window
  Launch,   // start the game, and beside it this window or the running one's clock
};

struct CommandLine {
  CommandLineAction action = CommandLineAction::Run;
  std::string offending;  // the argument that was not understood
  std::string command;    // Command: its word ("start", "pause", "stop")
  GameLaunchLine launch;  // Launch: the game; its ownArguments is Qt's argc
};

CommandLine readCommandLine(int argc, const char* const* argv);

std::string usageText();
std::string versionText(std::string_view version);

// Answers --help, --version and what is not understood on the standard streams; the exit
// status then, or nothing when the program is to run or a command is to be handed on.
std::optional<int> answerCommandLine(int argc, const char* const* argv, std::string_view version);

}  // namespace tollivane::frontend::qt
