// The name of the single-instance channel for one user and one settings file.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace tollivane::platform::posix {

// The socket's name (without the leading NUL of the abstract namespace): copies with their own
// settings files get names of their own, and two spellings of one file (through a link, with
// "..") get the same one, as far as a save would follow them (path_walk.hpp).
std::string instanceName(uid_t user, std::string_view settingsPath);

}  // namespace tollivane::platform::posix
