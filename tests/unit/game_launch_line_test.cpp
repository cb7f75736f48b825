// The game's command line as CreateProcess hands it on: the C runtime's rules split it back
// into the arguments given.
#include "common/game_launch_line.hpp"

#include <gtest/gtest.h>

namespace tollivane {
namespace {

TEST(GameLaunchLine, QuotesOnlyWhatTheRuntimeWouldSplitOrStrip) {
  struct Case {
    std::vector<std::string> arguments;
    const char* line;
  };
  const Case cases[] = {
      {{R"(C:\Games\game.exe)", "-arg"}, R"(C:\Games\game.exe -arg)"},
      {{R"(C:\Program Files\g.exe)", "-w", "800"}, R"("C:\Program Files\g.exe" -w 800)"},
      {{"g", ""}, R"(g "")"},
      {{"g", "tab\there"}, "g \"tab\there\""},
      {{"g", R"(say "hi")"}, R"(g "say \"hi\"")"},
      {{"g", R"(a\"b)"}, R"(g "a\\\"b")"},
      {{"g", R"(a\\b)"}, R"(g a\\b)"},  // backslashes before no quote stay single
      {{"g", R"(C:\My Dir\)"}, R"(g "C:\My Dir\\")"},
  };
  for (const Case& c : cases) EXPECT_EQ(quoteCommandLine(c.arguments), c.line);
}

}  // namespace
}  // namespace tollivane
