// The real machine under the simulation: its own file operations, and folders made fresh for
// a run. One source per OS provides them (host_files_posix.cpp, host_files_win32.cpp).
#pragma once

#include <memory>
#include <string>

#include "platform/platform.hpp"

namespace tollivane::frontend::sim {

// The files adapter of the OS the simulation runs on, for the program folder `folder`.
std::unique_ptr<platform::Files> hostFiles(const std::string& folder);
// The separator its paths join names with.
extern const char kHostSeparator;

// A new empty folder in the system's temporary folder; throws std::runtime_error when none
// can be made.
std::string makeTemporaryFolder();

// Removes the folder and all it holds; failures are ignored.
void removeFolder(const std::string& folder);

}  // namespace tollivane::frontend::sim
