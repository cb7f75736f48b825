// The report of a run-time error that no handler caught (see dispatch, event_dispatch.hpp),
// as every front end shows it.
#pragma once

#include <string>
#include <string_view>

namespace tollivane::app {

// "Run-time error '6':", a blank line, then "Overflow".
inline std::string runtimeErrorText(int number, std::string_view description) {
  return "Run-time error '" + std::to_string(number) + "':\r\n\r\n" + std::string(description);
}

}  // namespace tollivane::app
