// How the scenario runner reads a command line: words split at blanks, and numbers.
#pragma once

#include <charconv>
#include <cstddef>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

namespace tollivane::frontend::sim {

// A word of a line, with where it ends in the line.
struct Word {
  std::string_view text;
  std::size_t end;
};

// The command a line of a scenario holds, its line end (LF, CRLF) dropped; nothing for a
// blank line or a comment (first non-blank character '#').
std::optional<std::string_view> commandLine(std::string_view line);

// The words of a line, split at runs of spaces and tabs.
std::vector<Word> splitWords(std::string_view line);

// The whole text as a decimal number of that type, not below `lowest`; nothing otherwise.
template <class Int>
std::optional<Int> parseNumber(std::string_view text,
                               Int lowest = std::numeric_limits<Int>::min()) {
  Int value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || value < lowest) {
    return std::nullopt;
  }
  return value;
}

}  // namespace tollivane::frontend::sim
