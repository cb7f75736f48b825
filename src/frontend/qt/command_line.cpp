#include "frontend/qt/command_line.hpp"

#include <algorithm>
#include <array>
#include <cstdio>

#include "common/hotkey_commands.hpp"

namespace tollivane::frontend::qt {
namespace {

// QGuiApplication's and QApplication's options that take a value; the session manager
// restarts a program with "-session <id>".
constexpr std::array<std::string_view, 15> kQtOptionsWithValue = {
    "-platform",    "-platformpluginpath", "-platformtheme", "-plugin",  "-qwindowgeometry",
    "-qwindowicon", "-qwindowtitle",       "-session",       "-display", "-geometry",
    "-style",       "-stylesheet",         "-name",          "-title",   "-qmljsdebugger"};
// And those that stand alone.
constexpr std::array<std::string_view, 6> kQtFlags = {"-reverse", "-sync",   "-widgetcount",
                                                      "-nograb",  "-dograb", "-visual"};

// Qt also takes "-option=value" and the double-dash spelling of its options.
std::string_view qtOptionName(std::string_view argument) {
  if (argument.starts_with("--")) argument.remove_prefix(1);
  return argument.substr(0, argument.find('='));
}

bool contains(const auto& list, std::string_view name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace

CommandLine readCommandLine(int argc, const char* const* argv) {
  if (const std::optional<GameLaunchLine> launch = readGameLaunchLine(argc, argv)) {
    CommandLine own = readCommandLine(launch->ownArguments, argv);
    if (own.action == CommandLineAction::Help || own.action == CommandLineAction::Version ||
        own.action == CommandLineAction::Unknown) {
      return own;
    }
    if (own.action == CommandLineAction::Command || launch->program.empty()) {
      return {CommandLineAction::Unknown, "--run", {}, {}};
    }
    return {CommandLineAction::Launch, {}, {}, *launch};
  }
  CommandLine result;
  std::optional<std::string_view> command;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help" || argument == "-h") return {CommandLineAction::Help, {}, {}, {}};
    if (argument == "--version") return {CommandLineAction::Version, {}, {}, {}};
    const std::string_view name = qtOptionName(argument);
    if (argument.starts_with('-') && contains(kQtOptionsWithValue, name)) {
      if (name.size() == argument.size() - (argument.starts_with("--") ? 1 : 0)) ++i;
      continue;
    }
    if (argument.starts_with('-') && contains(kQtFlags, name)) continue;
    // One command a run: a second would act at the same poll, so its order would be lost.
    const std::optional<std::string_view> word = commandOfOption(argument);
    if (word && !command) {
      command = word;
      continue;
    }
    if (result.action == CommandLineAction::Run) {
      result = {CommandLineAction::Unknown, std::string(argument), {}, {}};
    }
  }
  if (command && result.action == CommandLineAction::Run) {
    result = {CommandLineAction::Command, {}, std::string(*command), {}};
  }
  result.launch.ownArguments = argc;
  return result;
}

std::string usageText() {
  return "Usage: tollivane [--help | --version | --start | --pause | --stop]\n"
         "       tollivane --run [--start] -- PROGRAM [ARGUMENTS...]\n"
         "A stopwatch drawn onto the game in front, driven by global hotkeys (F5 start,\n"
         "F6 pause/resume, F7 stop by default). Run without arguments to open its window.\n"
         "\n"
         "  -h, --help     print this help and exit\n"
         "      --version  print the version and exit\n"
         "      --start    start the running Tollivane's stopwatch, as its start hotkey does\n"
         "      --pause    pause or resume it, as its pause hotkey does\n"
         "      --stop     stop it, as its stop hotkey does\n"
         "The last three go to the Tollivane running with the same settings file, which\n"
         "acts on each at a poll of its own, in the order given. They end with status 0\n"
         "once it has taken the command, 1 when none runs, or 3 when one runs but does\n"
         "not answer within 2 seconds (stopped or hung): that command is then never\n"
         "taken. Bind them to keys in the desktop's own shortcut settings where a game\n"
         "does not let hotkeys through.\n"
         "\n"
         "      --run      start PROGRAM with its arguments, and Tollivane beside it\n"
         "                 (minimized), or use the one running with the same settings\n"
         "                 file; with --start its clock starts when the game does. A\n"
         "                 Tollivane opened this way ends with the game, and the exit\n"
         "                 status is the game's (128 + the signal when one ended it;\n"
         "                 127 when it cannot be started). As a launcher's wrapper:\n"
         "                 tollivane --run --start -- %command%\n";
}

std::string versionText(std::string_view version) {
  return "tollivane " + std::string(version) + "\n";
}

std::optional<int> answerCommandLine(int argc, const char* const* argv, std::string_view version) {
  const CommandLine line = readCommandLine(argc, argv);
  switch (line.action) {
    case CommandLineAction::Help:
      std::fputs(usageText().c_str(), stdout);
      return 0;
    case CommandLineAction::Version:
      std::fputs(versionText(version).c_str(), stdout);
      return 0;
    case CommandLineAction::Unknown:
      std::fprintf(stderr, "tollivane: unknown argument \"%s\"\n%s", line.offending.c_str(),
                   usageText().c_str());
      return 2;
    case CommandLineAction::Run:
    case CommandLineAction::Command:
    case CommandLineAction::Launch:
      break;
  }
  return std::nullopt;
}

}  // namespace tollivane::frontend::qt
