// tollivane.exe --start, --pause, --stop: handed to the program running with the same settings
// file, with no window of this one's own.
#pragma once

#include <optional>
#include <string>

namespace tollivane::frontend::win32 {

// The exit status when the command line asks for a hotkey's command (0: the running program
// took it; 1: none did, said in one line on standard error), or nothing when it asks for none.
std::optional<int> handOnHotkeyCommand(int argc, const char* const* argv,
                                       const std::string& settingsPath);

}  // namespace tollivane::frontend::win32
