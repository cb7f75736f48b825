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

}  // namespace tollivane
