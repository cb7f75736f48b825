// The real tollivane program as Steam Deck's game mode starts it (GAMESCOPE_WAYLAND_DISPLAY
// set), on a private Xvfb standing in for gamescope's X server: the clock goes only to a
// transparent window marked as gamescope's outside overlay, which gives the slot back when
// the clock stops, and the main window never maps.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app_process.hpp"
#include "test_client.hpp"
#include "wait_until.hpp"
#include "xvfb.hpp"

namespace tollivane::x11test {
namespace {

constexpr Area kClock{25, 315, 75, 14};  // the default rectangle, on the whole screen here

// What xprop reads of the property on `window`: "1", "0", or what it says otherwise.
std::string overlayProperty(const std::string& display, Window window) {
  const std::string command = "xprop -display " + display + " -id " + std::to_string(window) +
                              " GAMESCOPE_EXTERNAL_OVERLAY 2>&1";
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
  }
  const std::string prefix = "GAMESCOPE_EXTERNAL_OVERLAY(CARDINAL) = ";
  if (output.starts_with(prefix))
    return output.substr(prefix.size(), output.find('\n') - prefix.size());
  return output;
}

// The top-level window that carries the property, 0 while there is none.
Window overlayWindow(TestClient& client) {
  const Atom atom = XInternAtom(client.display(), "GAMESCOPE_EXTERNAL_OVERLAY", True);
  if (atom == 0) return 0;
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (XQueryTree(client.display(), client.root(), &root, &parent, &children, &count)) {
    for (unsigned i = 0; i < count && found == 0; ++i) {
      int properties = 0;
      Atom* names = XListProperties(client.display(), children[i], &properties);
      for (int p = 0; p < properties; ++p) {
        if (names[p] == atom) found = children[i];
      }
      if (names) XFree(names);
    }
  }
  if (children) XFree(children);
  return found;
}

bool viewable(TestClient& client, Window window) {
  XWindowAttributes attributes;
  return XGetWindowAttributes(client.display(), window, &attributes) &&
         attributes.map_state == IsViewable;
}

bool inClock(int x, int y) {
  return x >= kClock.x && x < kClock.x + kClock.width && y >= kClock.y &&
         y < kClock.y + kClock.height;
}

struct Alphas {
  int opaqueInClock = 0;  // pixels of the text
  int notClearOutside = 0;
};

Alphas alphasOf(TestClient& client, Window window) {
  Alphas alphas;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(client.display(), window, &attributes)) return alphas;
  XImage* image = XGetImage(client.display(), window, 0, 0, attributes.width, attributes.height,
                            AllPlanes, ZPixmap);
  if (!image) return alphas;
  for (int y = 0; y < attributes.height; ++y) {
    for (int x = 0; x < attributes.width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      if (inClock(x, y)) {
        alphas.opaqueInClock += (pixel >> 24) == 0xFF;
      } else {
        alphas.notClearOutside += pixel != 0;
      }
    }
  }
  XDestroyImage(image);
  return alphas;
}

class TollivaneInGamescope : public ::testing::Test {
 protected:
  TollivaneInGamescope() {
    setenv("GAMESCOPE_WAYLAND_DISPLAY", "gamescope-0", 1);
    app = std::make_unique<AppProcess>(TOLLIVANE_EXE, server.display());
  }
  ~TollivaneInGamescope() override { unsetenv("GAMESCOPE_WAYLAND_DISPLAY"); }

  // Handed on to the running program; refused (nothing listens) until it is up.
  bool command(const std::string& option) {
    return waitUntil(kPatience,
                     [&] {
                       AppProcess line{app->folder() / "tollivane", server.display(),
                                       AppProcess::InPlace{}, option};
                       return line.waitForExit(kPatience) == 0 || !app->running();
                     }) &&
           app->running();
  }

  Xvfb server;
  TestClient client{server.display()};
  std::unique_ptr<AppProcess> app;
};

TEST_F(TollivaneInGamescope, TheClockIsAnOverlayOfItsOwnThatLeavesTheSlotWhenStopped) {
  ASSERT_TRUE(command("--start")) << app->output();
  Window overlay = 0;
  Alphas alphas;
  ASSERT_TRUE(waitUntil(kPatience, [&] {
    overlay = overlayWindow(client);
    return overlay != 0 && viewable(client, overlay) &&
           (alphas = alphasOf(client, overlay)).opaqueInClock > 0;
  })) << app->output();
  EXPECT_EQ(overlayProperty(server.display(), overlay), "1");
  EXPECT_EQ(alphas.notClearOutside, 0);
  XVisualInfo wanted{};
  wanted.visualid = XVisualIDFromVisual([&] {
    XWindowAttributes attributes;
    XGetWindowAttributes(client.display(), overlay, &attributes);
    return attributes.visual;
  }());
  int matches = 0;
  XVisualInfo* visual = XGetVisualInfo(client.display(), VisualIDMask, &wanted, &matches);
  ASSERT_EQ(matches, 1);
  EXPECT_EQ(visual->depth, 32);
  XFree(visual);
  const std::unique_ptr<XWMHints, int (*)(void*)> hints(XGetWMHints(client.display(), overlay),
                                                        XFree);
  ASSERT_TRUE(hints && (hints->flags & InputHint));
  EXPECT_FALSE(hints->input);

  ASSERT_TRUE(command("--stop")) << app->output();
  EXPECT_TRUE(waitUntil(kPatience, [&] {
    return !viewable(client, overlay) && overlayProperty(server.display(), overlay) == "0";
  })) << overlayProperty(server.display(), overlay);
  EXPECT_FALSE(findWindowTitled(client, "Tollivane")) << "the main window was mapped";
  EXPECT_TRUE(app->running()) << app->output();
}

}  // namespace
}  // namespace tollivane::x11test
