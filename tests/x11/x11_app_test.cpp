// The real tollivane program on a private Xvfb: a window of the test's own is in front, keys
// are pressed through XTEST and the overlay is read back from that window's pixels.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "ui/layout.hpp"

#include <X11/keysym.h>

#include "app_process.hpp"
#include "test_client.hpp"
#include "xvfb.hpp"
#ifdef TOLLIVANE_HAVE_XRES
#include "x_resources.hpp"
#include "x_traffic.hpp"
#endif

namespace tollivane::x11test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kBackground = 0x305070;
constexpr Area kOverlay{25, 315, 75, 14};  // the default position, in the front window

// How long after `start` `done` first held, or nothing within `limit`.
template <typename Done>
std::optional<std::chrono::milliseconds> waitFor(Clock::time_point start,
                                                 std::chrono::milliseconds limit, Done done) {
  while (Clock::now() - start < limit) {
    if (done()) return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    std::this_thread::sleep_for(5ms);
  }
  return std::nullopt;
}

class TollivaneOnX : public ::testing::Test {
 protected:
  // `settings`: the settings file's text; none when empty.
  explicit TollivaneOnX(const std::string& settings = {})
      : app(TOLLIVANE_EXE, server.display(), settings) {}

  Xvfb server;
  TestClient client{server.display()};
  AppProcess app;
  Window mainWindow = 0;
  Area mainArea{};
  Window game = 0;

  void SetUp() override {
    std::optional<Area> shown;
    waitFor(Clock::now(), 20s, [&] {
      shown = findWindowTitled(client, "Tollivane", &mainWindow);
      return shown || !app.running();
    });
    ASSERT_TRUE(shown) << app.output();
    mainArea = *shown;
    // The program takes the focus when its window first shows; give it back once that is over.
    std::this_thread::sleep_for(500ms);
    game = client.createWindow(gameArea(), kBackground);
    client.focus(game);
  }

  // Beside the program's window, so that clicks on it reach it.
  Area gameArea() const {
    const int x = mainArea.x >= 350 ? 0 : mainArea.x + mainArea.width + 10;
    return {x, 0, 340, 400};
  }

  std::string overlay() { return client.overlayText(game, kOverlay, kBackground); }
  void clearOverlay() { client.clear(game, kOverlay); }

  // Presses the keys in order, holds them, releases them in reverse.
  void press(std::initializer_list<unsigned long> keys, std::chrono::milliseconds held = 80ms) {
    for (unsigned long k : keys) client.key(k, true);
    std::this_thread::sleep_for(held);
    for (auto k = std::rbegin(keys); k != std::rend(keys); ++k) client.key(*k, false);
  }

  // Nothing is drawn in the overlay for `quiet` after it was wiped.
  bool staysBlank(std::chrono::milliseconds quiet) {
    clearOverlay();
    return !waitFor(Clock::now(), quiet, [&] { return !overlay().empty(); });
  }

  bool startedFromZero(std::chrono::milliseconds limit) {
    return waitFor(Clock::now(), limit, [&] { return overlay() == "00 : 00 : 00"; }).has_value();
  }

  // A point of a control of the main window, from the window tables, in root coordinates.
  std::pair<int, int> centreOf(std::string_view name) {
    const ui::WindowLayout& layout = ui::mainWindowLayout();
    const ui::ControlLayout* control = ui::findControl(layout, name);
    const ui::ControlLayout* panel = ui::findControl(layout, control->parent);
    const int clientWidth = ui::twipsToPixels(layout.clientWidth);
    const double dpi = 96.0 * mainArea.width / clientWidth;
    const int menuBar = mainArea.height - ui::twipsToPixels(layout.clientHeight, dpi);
    const int x = panel->left + control->left + control->width / 2;
    const int y = panel->top + control->top + control->height / 2;
    return {mainArea.x + ui::twipsToPixels(x, dpi),
            mainArea.y + menuBar + ui::twipsToPixels(y, dpi)};
  }
};

TEST_F(TollivaneOnX, HotkeysStartPauseAndStopTheOverlayInTheWindowInFront) {
  const auto pressed = Clock::now();
  press({XK_F5});
  const auto latency = waitFor(pressed, 1500ms, [&] { return overlay() == "00 : 00 : 00"; });
  ASSERT_TRUE(latency) << "overlay shows " << overlay() << "\n" << app.output();
  EXPECT_LE(latency->count(), 400);
  EXPECT_TRUE(waitFor(Clock::now(), 1500ms, [&] { return overlay() == "00 : 00 : 01"; }))
      << "the clock counts";

  press({XK_F6});
  std::this_thread::sleep_for(300ms);
  const std::string paused = overlay();
  EXPECT_TRUE(paused.starts_with("00 : 00 : ")) << paused;
  std::this_thread::sleep_for(1200ms);
  clearOverlay();
  EXPECT_TRUE(waitFor(Clock::now(), 400ms, [&] { return !overlay().empty(); }))
      << "frames go on while paused";
  EXPECT_EQ(overlay(), paused) << "with the same text";

  press({XK_F7});
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(staysBlank(700ms)) << "no frame after stop";
  EXPECT_TRUE(app.running());
}

TEST_F(TollivaneOnX, ATapShorterThanAPollStillStarts) {
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    clearOverlay();
    press({XK_F5}, 30ms);
    EXPECT_TRUE(startedFromZero(600ms)) << overlay();
    press({XK_F7}, 30ms);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(staysBlank(300ms));
  }
}

TEST_F(TollivaneOnX, CtrlAltF5CapturedAndSavedThenStartsTheStopwatch) {
  // X servers keep Ctrl+Alt+F1..F12 for switching virtual terminals and never deliver them
  // (a desktop turns that off with "setxkbmap -option srvrkeys:none"); do the same here.
  KeySym plainF5[] = {XK_F5, XK_F5};
  XChangeKeyboardMapping(client.display(), XKeysymToKeycode(client.display(), XK_F5), 2, plainF5,
                         1);
  client.sync();
  std::this_thread::sleep_for(300ms);

  // Each step waits for what it shows, and is tried again if a busy machine lost it.
  const auto [captureX, captureY] = centreOf("qvHotKey1");
  const auto hotkeyPanelShown = [&, x = captureX, y = captureY] {
    return client.pixels(client.root(), {x, y, 1, 1}).front() == 0xC0C0C0;  // the box's grey
  };
  for (int attempt = 0; attempt < 3 && !hotkeyPanelShown(); ++attempt) {
    client.focus(mainWindow);
    client.click(mainArea.x + 16, mainArea.y + 8);  // the "Menu" title
    std::this_thread::sleep_for(300ms);
    press({XK_Down}, 30ms);
    press({XK_Return}, 30ms);  // "Edit hotkeys"
    waitFor(Clock::now(), 2s, hotkeyPanelShown);
  }
  ASSERT_TRUE(hotkeyPanelShown());

  const std::filesystem::path settings = app.folder() / "Tollivane.ini";
  std::string saved;
  const auto savedCtrlAlt = [&] {
    std::ifstream in(settings);
    std::stringstream text;
    text << in.rdbuf();
    saved = text.str();
    return saved.find("hotshift1=6") != std::string::npos;
  };
  const auto [saveX, saveY] = centreOf("Command2");
  for (int attempt = 0; attempt < 3 && !savedCtrlAlt(); ++attempt) {
    client.click(captureX, captureY);
    std::this_thread::sleep_for(200ms);
    press({XK_Control_L, XK_Alt_L, XK_F5});
    std::this_thread::sleep_for(200ms);
    client.click(saveX, saveY);
    waitFor(Clock::now(), 2s, savedCtrlAlt);
  }
  EXPECT_NE(saved.find("hotkey1=116"), std::string::npos) << saved;
  EXPECT_NE(saved.find("hotshift1=6"), std::string::npos) << saved;

  client.focus(game);
  // F5 still started the stopwatch while it was being captured: the hotkeys are global.
  press({XK_F7});
  std::this_thread::sleep_for(300ms);
  press({XK_F5}, 300ms);
  EXPECT_TRUE(staysBlank(700ms)) << "F5 alone no longer starts";
  press({XK_Control_L, XK_Alt_L, XK_F5});
  EXPECT_TRUE(startedFromZero(600ms)) << overlay();
}

TEST_F(TollivaneOnX, DestroyingTheWindowInFrontWhileDrawingKeepsTheProgram) {
  press({XK_F5});
  ASSERT_TRUE(startedFromZero(1000ms));
  client.destroyWindow(game);
  std::this_thread::sleep_for(1000ms);
  ASSERT_TRUE(app.running()) << app.output();

  game = client.createWindow(gameArea(), kBackground);
  client.focus(game);
  EXPECT_TRUE(waitFor(Clock::now(), 600ms, [&] { return overlay().starts_with("00 : 00 : "); }))
      << "the running clock is drawn on the next window in front: " << overlay();
}

#ifdef TOLLIVANE_HAVE_XRES
TEST_F(TollivaneOnX, RunningFramesKeepNoContextOrMemory) {
  press({XK_F5});
  ASSERT_TRUE(startedFromZero(1000ms));
  std::this_thread::sleep_for(1000ms);
  const long contexts = serverResources(client.display(), "GC");
  [[maybe_unused]] const long memory = memoryKiB(app.pid(), "VmRSS");
  std::this_thread::sleep_for(5000ms);  // fifty frames
  EXPECT_LE(serverResources(client.display(), "GC") - contexts, 1);
#ifndef __SANITIZE_ADDRESS__  // its quarantine keeps freed memory resident
  EXPECT_LT(memoryKiB(app.pid(), "VmRSS") - memory, 512);
#endif
}

// Every round trip and every timer wakes the program; with the window manager's property and
// without, stopped and running, neither a tick nor a frame waits for the server while no key
// changes, and a frame sets up nothing: it is the text and its flush.
TEST_F(TollivaneOnX, NeitherTicksNorFramesMakeARoundTrip) {
  struct Case {
    const char* name;
    bool running;
    bool activeWindowProperty;
    double switchesPerSecond;  // one timer wakeup a frame, and some slack
  };
  const Case cases[] = {{"stopped, focus", false, false, 15},
                        {"running, focus", true, false, 22},
                        {"running, window manager", true, true, 22},
                        {"stopped, window manager", false, true, 15}};
  constexpr auto kWindow = 4s;  // twenty ticks
  constexpr long kImageText8 = 76;
  constexpr long kQueryKeymap = 44;
  constexpr long kChangeGC = 56;
  constexpr long kCreateGC = 55;
  constexpr long kSetClipRectangles = 59;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    client.setActiveWindow(c.activeWindowProperty ? std::optional(game) : std::nullopt);
    if (c.running && !startedFromZero(0ms)) {
      press({XK_F5});
      ASSERT_TRUE(startedFromZero(1000ms));
    } else if (!c.running) {
      press({XK_F7});
    }
    std::this_thread::sleep_for(500ms);

    XTraffic traffic(server.display(), clientsOf(client.display(), app.pid()));
    const auto start = Clock::now();
    const long switches = voluntarySwitches(app.pid());
    std::this_thread::sleep_for(kWindow);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double switchesPerSecond =
        static_cast<double>(voluntarySwitches(app.pid()) - switches) / seconds;
    const Traffic seen = traffic.finish();
    const long ticks = static_cast<long>(seconds / 0.2) + 1;

    EXPECT_EQ(seen.requests[kQueryKeymap], 0) << "no keyboard reading";
    EXPECT_EQ(seen.replies, 0) << "no round trip";
    if (c.running) {
      EXPECT_GE(seen.requests[kImageText8], 2 * ticks - 4) << "frames were drawn";
    }
    EXPECT_EQ(
        seen.requests[kCreateGC] + seen.requests[kChangeGC] + seen.requests[kSetClipRectangles], 0)
        << "no set-up per frame";
    EXPECT_LE(switchesPerSecond, c.switchesPerSecond);
    std::printf("%s: %ld ticks, %ld replies, %ld keymaps, %ld frames, %.1f switches/s\n", c.name,
                ticks, seen.replies, seen.requests[kQueryKeymap], seen.requests[kImageText8],
                switchesPerSecond);
  }
}
#endif

class TollivaneOwnWindowOnX : public TollivaneOnX {
 protected:
  TollivaneOwnWindowOnX() : TollivaneOnX("[rect]\nwindow=1\n") {}

  // What the screen shows at the overlay's place just after the game repainted all of itself.
  std::string overRepaint() {
    client.clear(game, {0, 0, 340, 400});
    const Area area = gameArea();
    return client.overlayText(client.root(), {area.x + kOverlay.x, area.y + kOverlay.y, 75, 14},
                              kBackground);
  }
};

TEST_F(TollivaneOwnWindowOnX, TheTimeStaysOverAGameThatRepaintsAndGoesWhenStopped) {
  press({XK_F5});
  ASSERT_TRUE(waitFor(Clock::now(), 1500ms, [&] { return overRepaint() == "00 : 00 : 00"; }))
      << "shows " << overRepaint() << "\n"
      << app.output();
  EXPECT_TRUE(waitFor(Clock::now(), 1500ms, [&] { return overRepaint() == "00 : 00 : 01"; }));
  Window focus = 0;
  int revertTo = 0;
  XGetInputFocus(client.display(), &focus, &revertTo);
  EXPECT_EQ(focus, game) << "the game keeps the focus";

  press({XK_F7});
  EXPECT_TRUE(waitFor(Clock::now(), 1000ms, [&] { return overRepaint().empty(); }))
      << "stopped: frames no longer come, and the window goes";
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(overRepaint(), "");
}

TEST(TollivaneLosesX, LosingTheServerEndsTheProgramWithOneClearLine) {
  Xvfb server;
  AppProcess app{TOLLIVANE_EXE, server.display()};
  {
    TestClient client{server.display()};
    ASSERT_TRUE(waitFor(Clock::now(), 20s, [&] {
      return findWindowTitled(client, "Tollivane").has_value() || !app.running();
    }));
  }
  ASSERT_TRUE(app.running()) << app.output();
  server.kill();
  EXPECT_TRUE(waitFor(Clock::now(), 5s, [&] { return !app.running(); })) << "it must not hang";
  const std::string out = app.output();
  EXPECT_NE(out.find("Tollivane: lost the connection to the X server\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("X11 connection broke"), std::string::npos) << "one message only: " << out;
  EXPECT_EQ(out.find("XIO"), std::string::npos) << "one message only: " << out;
}

}  // namespace
}  // namespace tollivane::x11test
