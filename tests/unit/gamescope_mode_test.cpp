#include "platform/x11/gamescope_mode.hpp"

#include <gtest/gtest.h>

namespace tollivane::platform::x11 {
namespace {

TEST(GamescopeMode, ToldFromEitherVariable) {
  struct Case {
    const char* waylandDisplay;
    const char* desktop;
    bool gamescope;
  } const cases[] = {{nullptr, nullptr, false},
                     {"", "", false},
                     {"gamescope-0", nullptr, true},
                     {"", "gamescope", true},
                     {nullptr, "KDE:gamescope", true},
                     {nullptr, "gamescope:GNOME", true},
                     {nullptr, "gamescopex", false},
                     {nullptr, "Gamescope-session", false},
                     {nullptr, ":", false}};
  for (const Case& c : cases) {
    EXPECT_EQ(isGamescope(c.waylandDisplay, c.desktop), c.gamescope)
        << (c.waylandDisplay ? c.waylandDisplay : "(unset)") << " / "
        << (c.desktop ? c.desktop : "(unset)");
  }
}

}  // namespace
}  // namespace tollivane::platform::x11
