// The real tollivane program as Steam Deck's game mode starts it from a game's launch options
// (GAMESCOPE_WAYLAND_DISPLAY set, DISPLAY the game's server), two private Xvfbs standing in for
// gamescope's servers: the clock goes only to a transparent window on the first, marked as
// gamescope's outside overlay, which gives the slot back when the clock stops; the main window
// never maps.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "app_process.hpp"
#include "test_client.hpp"
#include "wait_until.hpp"
#include "xvfb.hpp"

namespace tollivane::x11test {
namespace {

constexpr Area kClock{25, 315, 75, 14};  // the default rectangle, on the whole screen here

// What xprop reads of the property on `window`: "1", "0", or the last word of what it says.
std::string overlayProperty(const std::string& display, Window window) {
  const std::string command = "xprop -display " + display + " -id " + std::to_string(window) +
                              " GAMESCOPE_EXTERNAL_OVERLAY 2>&1";
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
  }
  output = output.substr(0, output.find('\n'));
  return output.substr(output.rfind(' ') + 1);
}

// Our overlay among the top-level windows, mapped or not; 0 while there is none.
Window overlayOn(TestClient& client) {
  Window unused = 0;
  Window* children = nullptr;
  unsigned count = 0;
  XQueryTree(client.display(), client.root(), &unused, &unused, &children, &count);
  Window found = 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    char* name = nullptr;
    if (XFetchName(client.display(), children[i], &name) &&
        std::string(name) == "Tollivane clock") {
      found = children[i];
    }
    XFree(name);
  }
  XFree(children);
  return found;
}

bool viewable(TestClient& client, Window window) {
  XWindowAttributes attributes;
  return XGetWindowAttributes(client.display(), window, &attributes) &&
         attributes.map_state == IsViewable;
}

// Marks `client`'s server as server `id` of one gamescope, as gamescope marks its own.
void markAsGamescopeServer(TestClient& client, long id) {
  const long pid = 4242;
  for (const auto& [name, value] :
       {std::pair{"GAMESCOPE_XWAYLAND_SERVER_ID", id}, std::pair{"GAMESCOPE_PID", pid}}) {
    XChangeProperty(client.display(), client.root(), XInternAtom(client.display(), name, False),
                    XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&value), 1);
  }
  client.sync();
}

struct Alphas {
  int opaqueInClock = 0;  // pixels of the text
  int notClearOutside = 0;
};

Alphas alphasOf(TestClient& client, Window window) {
  const int width = DisplayWidth(client.display(), 0);
  const int height = DisplayHeight(client.display(), 0);
  if (!viewable(client, window)) return {};
  XImage* image = XGetImage(client.display(), window, 0, 0, width, height, AllPlanes, ZPixmap);
  if (!image) return {};
  Alphas alphas;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      if (x >= kClock.x && x < kClock.x + kClock.width && y >= kClock.y &&
          y < kClock.y + kClock.height) {
        alphas.opaqueInClock += (pixel >> 24) == 0xFF;
      } else {
        alphas.notClearOutside += pixel != 0;
      }
    }
  }
  XDestroyImage(image);
  return alphas;
}

// The game's server is gamescope's second; the overlay belongs on the first.
class TollivaneInGamescope : public ::testing::Test {
 protected:
  TollivaneInGamescope() {
    markAsGamescopeServer(game, 1);
    markAsGamescopeServer(steam, 0);
    setenv("GAMESCOPE_WAYLAND_DISPLAY", "gamescope-0", 1);
    app = std::make_unique<AppProcess>(TOLLIVANE_EXE, gameServer.display());
  }
  ~TollivaneInGamescope() override { unsetenv("GAMESCOPE_WAYLAND_DISPLAY"); }

  // Handed on to the running program; refused (nothing listens) until it is up.
  bool command(const std::string& option) {
    return waitUntil(kPatience,
                     [&] {
                       AppProcess line{app->folder() / "tollivane",
                                       gameServer.display(),
                                       AppProcess::InPlace{},
                                       {option}};
                       return line.waitForExit(kPatience) == 0 || !app->running();
                     }) &&
           app->running();
  }

  Xvfb gameServer;
  Xvfb steamServer;
  TestClient game{gameServer.display()};
  TestClient steam{steamServer.display()};
  std::unique_ptr<AppProcess> app;
};

TEST_F(TollivaneInGamescope, TheClockIsAnOverlayOnTheFirstServerThatLeavesTheSlotWhenStopped) {
  ASSERT_TRUE(command("--start")) << app->output();
  Window overlay = 0;
  Alphas alphas;
  ASSERT_TRUE(waitUntil(kPatience, [&] {
    overlay = overlayOn(steam);
    return overlay != 0 && (alphas = alphasOf(steam, overlay)).opaqueInClock > 0;
  })) << app->output();
  EXPECT_EQ(overlayProperty(steamServer.display(), overlay), "1");
  EXPECT_EQ(alphas.notClearOutside, 0);
  const std::unique_ptr<XWMHints, int (*)(void*)> hints(XGetWMHints(steam.display(), overlay),
                                                        XFree);
  ASSERT_TRUE(hints && (hints->flags & InputHint));
  EXPECT_FALSE(hints->input) << "never focused";
  EXPECT_EQ(overlayOn(game), 0u) << "on the game's server";

  ASSERT_TRUE(command("--stop")) << app->output();
  EXPECT_TRUE(waitUntil(kPatience, [&] {
    return !viewable(steam, overlay) && overlayProperty(steamServer.display(), overlay) == "0";
  })) << overlayProperty(steamServer.display(), overlay);
  EXPECT_FALSE(findWindowTitled(game, "Tollivane")) << "the main window was mapped";
  EXPECT_TRUE(app->running()) << app->output();
}

}  // namespace
}  // namespace tollivane::x11test
