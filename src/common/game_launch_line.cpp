#include "common/game_launch_line.hpp"

#include <string_view>

namespace tollivane {

std::optional<GameLaunchLine> readGameLaunchLine(int argc, const char* const* argv) {
  int at = 1;
  while (at < argc && std::string_view(argv[at]) != "--run") ++at;
  if (at == argc) return std::nullopt;
  GameLaunchLine line;
  line.ownArguments = at;
  int next = at + 1;
  if (next < argc && std::string_view(argv[next]) == "--start") {
    line.startClock = true;
    ++next;
  }
  if (next < argc && std::string_view(argv[next]) == "--") {
    line.program.assign(argv + next + 1, argv + argc);
  }
  return line;
}

std::string quoteCommandLine(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments) {
    if (!line.empty()) line += ' ';
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
      line += argument;
      continue;
    }
    line += '"';
    std::size_t backslashes = 0;
    for (const char c : argument) {
      if (c == '\\') {
        ++backslashes;
        continue;
      }
      // Backslashes count only before a quote: there each is doubled, and the quote escaped.
      line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
      backslashes = 0;
      line += c;
    }
    line.append(2 * backslashes, '\\');  // before the closing quote
    line += '"';
  }
  return line;
}

}  // namespace tollivane
