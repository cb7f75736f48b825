// Opening and losing the connection to the X server.
#include <cstdlib>

#include "backend_fixture.hpp"

namespace tollivane::x11test {
namespace {

TEST(X11SessionOpen, GivesNothingWithoutAServer) { EXPECT_EQ(X11Session::open(":9876"), nullptr); }

TEST(X11SessionLost, LosingTheServerEndsTheProgramWithOneClearLine) {
  EXPECT_EXIT(
      {
        Xvfb doomed;
        auto session = X11Session::open(doomed.display().c_str());
        if (!session) std::_Exit(3);
        doomed.kill();
        for (;;) {
          session->processPendingEvents();
          session->keys().GetAsyncKeyState(116);
        }
      },
      ::testing::ExitedWithCode(1), "^Tollivane: lost the connection to the X server\n$");
}

}  // namespace
}  // namespace tollivane::x11test
