// The command line is read before any display is opened: ours answered, Qt's passed on,
// anything else refused.
#include "frontend/qt/command_line.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace tollivane::frontend::qt {
namespace {

using Action = CommandLineAction;

TEST(CommandLine, OursAreAnsweredQtsPassAndTheRestIsRefused) {
  struct Case {
    std::vector<const char*> arguments;
    Action action;
    const char* offending;
  };
  const Case cases[] = {
      {{}, Action::Run, ""},
      {{"--help"}, Action::Help, ""},
      {{"-h"}, Action::Help, ""},
      {{"--version"}, Action::Version, ""},
      {{"-platform", "xcb"}, Action::Run, ""},
      {{"--platform", "xcb", "-reverse"}, Action::Run, ""},
      {{"-platform=xcb"}, Action::Run, ""},
      {{"-session", "1234abcd", "--version"}, Action::Version, ""},
      {{"-session", "--help"}, Action::Run, ""},  // the session's name, not an option
      {{"--bogus"}, Action::Unknown, "--bogus"},
      {{"-help"}, Action::Unknown, "-help"},
      {{"--versions"}, Action::Unknown, "--versions"},
      {{"game.exe"}, Action::Unknown, "game.exe"},
      {{"-platform", "xcb", "extra", "--more"}, Action::Unknown, "extra"},
      {{"--bogus", "--help"}, Action::Help, ""},
      {{""}, Action::Unknown, ""},
      {{"-platform", "xcb", "--stop"}, Action::Command, ""},
      {{"--start", "--stop"}, Action::Unknown, "--stop"},  // one command a run
      {{"--start", "extra"}, Action::Unknown, "extra"},
      {{"--run", "--", "game", "--help"}, Action::Launch, ""},  // the game's, not ours
      {{"--run"}, Action::Unknown, "--run"},
      {{"--run", "--"}, Action::Unknown, "--run"},
      {{"--run", "game"}, Action::Unknown, "--run"},
      {{"--run", "--stop", "--", "game"}, Action::Unknown, "--run"},
      {{"--start", "--run", "--", "game"}, Action::Unknown, "--run"},
      {{"--bogus", "--run", "--", "game"}, Action::Unknown, "--bogus"},
      {{"--version", "--run", "--", "game"}, Action::Version, ""},
  };
  for (const Case& c : cases) {
    std::vector<const char*> argv{"tollivane"};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    std::string shown;
    for (const char* a : c.arguments) shown += std::string(a) + " ";
    SCOPED_TRACE(shown);
    const CommandLine line = readCommandLine(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(line.action, c.action);
    EXPECT_EQ(line.offending, c.offending);
  }
  const char* const pause[] = {"tollivane", "--pause"};
  EXPECT_EQ(readCommandLine(2, pause).command, "pause");
  // Qt reads only what stands before --run.
  const char* const launch[] = {"tollivane", "-platform", "xcb",       "--run", "--start",
                                "--",        "game",      "-platform", "x"};
  const CommandLine line = readCommandLine(9, launch);
  EXPECT_EQ(line.launch.ownArguments, 3);
  EXPECT_TRUE(line.launch.startClock);
  EXPECT_EQ(line.launch.program, (std::vector<std::string>{"game", "-platform", "x"}));
}

TEST(CommandLine, TheUsageNamesEveryOptionAndTheVersionIsOneLine) {
  const std::string usage = usageText();
  EXPECT_TRUE(usage.starts_with("Usage: tollivane"));
  for (const char* option :
       {"--help", "-h", "--version", "--start", "--pause", "--stop", "--run"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(versionText("1.2.3"), "tollivane 1.2.3\n");
}

}  // namespace
}  // namespace tollivane::frontend::qt
