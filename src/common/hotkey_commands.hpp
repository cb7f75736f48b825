// The hotkeys' commands as a script gives them (tollivane --start) and as they travel to the
// running program ("start"): one word per binding, in the bindings' order.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tollivane {

inline constexpr std::array<std::string_view, 3> kHotkeyCommandWords = {"start", "pause", "stop"};

// The binding (0..2) that the word names, or nothing.
std::optional<std::size_t> bindingOfCommand(std::string_view word);
// The word of "--start", "--pause" or "--stop", or nothing for any other argument.
std::optional<std::string_view> commandOfOption(std::string_view argument);

// What handing a command to the running program came to.
enum class CommandAnswer {
  Taken,         // it took the command
  Refused,       // it cannot act on it
  NoneRunning,   // none runs with the settings file
  NotAnswering,  // one runs but did not answer in time (stopped or hung): never taken
};
// How both programs end on it: an exit status, and one line (without its end) for standard
// error, empty when there is nothing to say.
struct CommandOutcome {
  int status = 0;
  std::string line;
};
CommandOutcome commandOutcome(CommandAnswer answer, std::string_view settingsPath,
                              std::string_view word);

}  // namespace tollivane
