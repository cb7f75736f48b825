// How the simulation writes a text into one line of its event log.
#pragma once

#include <string>
#include <string_view>

namespace tollivane::frontend::sim {

// The text in double quotes, each CR, LF, backslash and double quote escaped with a
// backslash (CR and LF as r and n), so that any text fits one line.
std::string quote(std::string_view text);

}  // namespace tollivane::frontend::sim
