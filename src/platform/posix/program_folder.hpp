// Where the running program lies, found from the system's own record of it.
#pragma once

#include <string>

namespace tollivane::platform::posix {

// The folder holding the running program, without a trailing '/' except for "/" itself;
// empty when the system cannot tell (never the current folder instead).
std::string executableFolder();

}  // namespace tollivane::platform::posix
