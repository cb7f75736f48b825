// The real tollivane program on a private Xvfb: a window of the test's own is in front, keys
// are pressed through XTEST and the overlay is read back from that window's pixels. What the
// program drew and when it read the keyboard is followed in the server's record, in order, so
// that a text shown for a moment is seen however late the test looks.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>

#include "ui/layout.hpp"

#include <X11/keysym.h>

#include "app_process.hpp"
#include "test_client.hpp"
#include "wait_until.hpp"
#include "x_resources.hpp"
#include "x_traffic.hpp"
#include "xvfb.hpp"

namespace tollivane::x11test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kBackground = 0x305070;
constexpr Area kOverlay{25, 315, 75, 14};  // the default position, in the front window

// The texts from a start: "00 : 00 : 00" until the first "00 : 00 : 01".
bool countedFromZero(const std::vector<std::string>& texts) {
  const auto second = std::find(texts.begin(), texts.end(), "00 : 00 : 01");
  return second != texts.end() && second != texts.begin() &&
         std::all_of(texts.begin(), second,
                     [](const std::string& t) { return t == "00 : 00 : 00"; });
}

std::string joined(const std::vector<std::string>& texts) {
  std::string all;
  for (const std::string& t : texts) all += "[" + t + "]";
  return all;
}

constexpr long kMapWindow = 8;
constexpr long kGetImage = 73;

class TollivaneOnX : public ::testing::Test {
 protected:
  // `settings`: the settings file's text; none when empty. `screen`: the server's.
  explicit TollivaneOnX(const std::string& settings = {}, const std::string& screen = "1024x768x24")
      : server(screen), app(TOLLIVANE_EXE, server.display(), settings) {}

  Xvfb server;
  TestClient client{server.display()};
  AppProcess app;
  std::unique_ptr<XTraffic> record;  // the program's requests from its window on
  Window mainWindow = 0;
  Area mainArea{};
  Window game = 0;

  void SetUp() override {
    std::optional<Area> shown;
    waitUntil(kPatience, [&] {
      shown = findWindowTitled(client, "Tollivane", &mainWindow);
      return shown || !app.running();
    });
    ASSERT_TRUE(shown) << app.output();
    mainArea = *shown;
    record = std::make_unique<XTraffic>(server.display(), clientsOf(client.display(), app.pid()));
    // The program takes the focus when its window first shows; give it back once that is over.
    std::this_thread::sleep_for(500ms);
    game = client.createWindow(gameArea(), kBackground);
    client.focus(game);
    // The server announces the injecting keyboard with its first key, and the program reads
    // the keymap afresh at its next poll: a tap before that reading would be lost in it.
    const std::size_t first = record->mark();
    client.tap(XK_F12, 20ms);
    ASSERT_TRUE(waitUntil(kPatience, [&] { return record->keyboardReadsSince(first) > 0; }));
  }

  // Beside the program's window, so that clicks on it reach it.
  virtual Area gameArea() const {
    const int x = mainArea.x >= 350 ? 0 : mainArea.x + mainArea.width + 10;
    return {x, 0, 340, 400};
  }

  std::string overlay() { return client.overlayText(game, kOverlay, kBackground); }
  // What the screen shows at the overlay's place in the game, whatever window shows it.
  std::string onScreen() {
    const Area area = gameArea();
    return client.overlayText(client.root(), {area.x + kOverlay.x, area.y + kOverlay.y, 75, 14},
                              kBackground);
  }
  // Whether a window of the program's own that no window manager handles is on the screen.
  bool ownWindowShown() {
    const std::vector<XID> programs = clientsOf(client.display(), app.pid());
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(client.display(), client.root(), &root, &parent, &children, &count)) {
      return false;
    }
    bool shown = false;
    for (unsigned i = 0; i < count; ++i) {
      XWindowAttributes attributes{};
      const XID base = children[i] & ~XID{0x1FFFFF};
      shown |= std::find(programs.begin(), programs.end(), base) != programs.end() &&
               XGetWindowAttributes(client.display(), children[i], &attributes) &&
               attributes.override_redirect && attributes.map_state == IsViewable;
    }
    if (children) XFree(children);
    return shown;
  }
  bool overlayShowsTheClock() {
    return waitUntil(kPatience, [&] { return overlay().starts_with("00 : 00 : "); });
  }

  // Presses the keys in order and releases them in reverse, quicker than a poll.
  void tap(std::initializer_list<unsigned long> keys, std::chrono::milliseconds held = 30ms) {
    for (unsigned long k : keys) client.key(k, true);
    std::this_thread::sleep_for(held);
    for (auto k = std::rbegin(keys); k != std::rend(keys); ++k) client.key(*k, false);
  }

  // Holds the keys down until the program has read the keyboard to confirm a bound one held,
  // which it does after a second of polls that saw it down; then releases them.
  void holdUntilRead(std::initializer_list<unsigned long> keys) {
    for (unsigned long k : keys) client.key(k, true);
    const std::size_t pressed = record->mark();
    EXPECT_TRUE(waitUntil(kPatience, [&] { return record->keyboardReadsSince(pressed) > 0; }))
        << "no poll confirmed the keys held";
    for (auto k = std::rbegin(keys); k != std::rend(keys); ++k) client.key(*k, false);
  }

  // The texts drawn from tapping the keys until the clock showed its first second.
  std::vector<std::string> textsFromTapping(std::initializer_list<unsigned long> keys) {
    const std::size_t from = record->mark();
    tap(keys);
    std::vector<std::string> texts;
    waitUntil(kPatience, [&] {
      texts = record->textsSince(from);
      return std::find(texts.begin(), texts.end(), "00 : 00 : 01") != texts.end();
    });
    return texts;
  }

  // The texts drawn while the keys are held for a second of polls.
  std::vector<std::string> textsWhileHolding(std::initializer_list<unsigned long> keys) {
    const std::size_t from = record->mark();
    holdUntilRead(keys);
    return record->textsSince(from);
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
  const std::vector<std::string> started = textsFromTapping({XK_F5});
  EXPECT_TRUE(countedFromZero(started)) << joined(started) << "\n" << app.output();
  EXPECT_TRUE(overlayShowsTheClock()) << "on the window in front: " << overlay();

  // Paused, the frames go on with one text: more frames of it than a running second has.
  // A loaded machine may stretch the tap over two polls, which pause and resume: then it is
  // tapped again.
  std::vector<std::string> texts;
  bool frozen = false;
  for (int attempt = 0; attempt < 3 && !frozen; ++attempt) {
    const std::size_t pausing = record->mark();
    tap({XK_F6});
    frozen = waitUntil(kPatience, [&] {
      texts = record->textsSince(pausing);
      return texts.size() >= 25 &&
             std::all_of(texts.end() - 25, texts.end(), [&](auto& t) { return t == texts.back(); });
    });
  }
  EXPECT_TRUE(frozen) << joined(texts);
  const std::string paused = texts.back();
  EXPECT_TRUE(paused.starts_with("00 : 00 : ")) << paused;
  client.clear(game, kOverlay);
  EXPECT_TRUE(waitUntil(kPatience, [&] { return overlay() == paused; })) << overlay();

  holdUntilRead({XK_F7});
  EXPECT_EQ(joined(textsWhileHolding({XK_F7})), "") << "no frame after stop";
  EXPECT_TRUE(app.running());
}

TEST_F(TollivaneOnX, ATapShorterThanAPollStillStarts) {
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    const std::vector<std::string> started = textsFromTapping({XK_F5});
    EXPECT_TRUE(countedFromZero(started)) << joined(started);
    holdUntilRead({XK_F7});
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
    tap({XK_Down});
    tap({XK_Return});  // "Edit hotkeys"
    waitUntil(10s, hotkeyPanelShown);
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
    tap({XK_Control_L, XK_Alt_L, XK_F5}, 80ms);
    std::this_thread::sleep_for(200ms);
    client.click(saveX, saveY);
    waitUntil(10s, savedCtrlAlt);
  }
  EXPECT_NE(saved.find("hotkey1=116"), std::string::npos) << saved;
  EXPECT_NE(saved.find("hotshift1=6"), std::string::npos) << saved;

  client.focus(game);
  // F5 still started the stopwatch while it was being captured: the hotkeys are global.
  holdUntilRead({XK_F7});
  // Start is the first binding tested: F5 alone would start before F7 stops.
  EXPECT_EQ(joined(textsWhileHolding({XK_F5, XK_F7})), "") << "F5 alone no longer starts";
  const std::vector<std::string> started = textsFromTapping({XK_Control_L, XK_Alt_L, XK_F5});
  EXPECT_TRUE(countedFromZero(started)) << joined(started);
  EXPECT_TRUE(overlayShowsTheClock()) << overlay();
}

// Bindings that share a key and modifiers: a command holds its binding's key through a poll.
class TollivaneCommandsOnX : public TollivaneOnX {
 protected:
  TollivaneCommandsOnX()
      : TollivaneOnX("[main]\nhotkey1=116\nhotshift1=3\nhotkey2=116\nhotshift2=2\n") {}
  // The texts drawn from the command, run beside the program (one settings file), until `until`.
  std::vector<std::string> textsFrom(
      const std::string& option,
      const std::function<bool(const std::vector<std::string>&)>& until) {
    const std::size_t from = record->mark();
    AppProcess line{app.folder() / "tollivane", server.display(), AppProcess::InPlace{}, {option}};
    EXPECT_EQ(line.waitForExit(kPatience), 0) << option << line.output();
    EXPECT_EQ(line.output(), "");
    std::vector<std::string> texts;
    waitUntil(kPatience, [&] { return until(texts = record->textsSince(from)); });
    return texts;
  }
};

TEST_F(TollivaneCommandsOnX, StartPauseAndStopFromTheCommandLineActAsTheirHotkeys) {
  auto texts = textsFrom("--start", [](auto& t) { return std::ranges::count(t, "00 : 00 : 01"); });
  EXPECT_TRUE(countedFromZero(texts)) << joined(texts);
  // Paused, the frames go on with one text.
  const auto settled = [](const std::vector<std::string>& t) {
    return t.size() >= 25 &&
           std::all_of(t.end() - 25, t.end(), [&](auto& x) { return x == t.back(); });
  };
  texts = textsFrom("--pause", settled);
  EXPECT_TRUE(settled(texts)) << joined(texts);
  // Stopped, no frame comes for longer than ten of them take.
  textsFrom("--stop", [](auto&) { return true; });
  EXPECT_TRUE(waitUntil(kPatience, [&] {
    const std::size_t quiet = record->mark();
    std::this_thread::sleep_for(1s);
    return record->textsSince(quiet).empty();
  }));
}

// A launcher's wrapper beside a running Tollivane: that one's clock starts with the game, no
// second one opens, and the game's exit status comes back.
TEST_F(TollivaneOnX, RunBesideARunningCopyStartsItsClockAndEndsWithTheGame) {
  const std::size_t from = record->mark();
  AppProcess launch{app.folder() / "tollivane",
                    server.display(),
                    AppProcess::InPlace{},
                    {"--run", "--start", "--", "sh", "-c", "sleep 1; exit 3"}};
  EXPECT_EQ(launch.waitForExit(kPatience), 3) << launch.output();
  EXPECT_EQ(launch.output(), "");
  std::vector<std::string> texts;
  waitUntil(kPatience, [&] { return countedFromZero(texts = record->textsSince(from)); });
  EXPECT_TRUE(countedFromZero(texts)) << joined(texts);
}

TEST_F(TollivaneOnX, DestroyingTheWindowInFrontWhileDrawingKeepsTheProgram) {
  const std::vector<std::string> started = textsFromTapping({XK_F5});
  ASSERT_TRUE(countedFromZero(started)) << joined(started);
  client.destroyWindow(game);
  const std::size_t destroyed = record->mark();
  EXPECT_TRUE(waitUntil(kPatience, [&] { return record->textsSince(destroyed).size() >= 10; }))
      << "frames go on with no game";
  ASSERT_TRUE(app.running()) << app.output();

  game = client.createWindow(gameArea(), kBackground);
  client.focus(game);
  EXPECT_TRUE(overlayShowsTheClock())
      << "the running clock is drawn on the next window in front: " << overlay();
}

TEST_F(TollivaneOnX, RunningFramesKeepNoContextOrMemory) {
  const std::vector<std::string> started = textsFromTapping({XK_F5});
  ASSERT_TRUE(countedFromZero(started)) << joined(started);
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
  };
  const Case cases[] = {{"stopped, focus", false, false},
                        {"running, focus", true, false},
                        {"running, window manager", true, true},
                        {"stopped, window manager", false, true}};
  constexpr auto kWindow = 4s;  // twenty ticks
  constexpr long kImageText8 = 76;
  constexpr long kQueryKeymap = 44;
  bool running = false;
  constexpr long kChangeGC = 56;
  constexpr long kCreateGC = 55;
  constexpr long kSetClipRectangles = 59;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    client.setActiveWindow(c.activeWindowProperty ? std::optional(game) : std::nullopt);
    if (c.running != running) holdUntilRead({c.running ? KeySym{XK_F5} : KeySym{XK_F7}});
    running = c.running;
    std::this_thread::sleep_for(500ms);
    // Once a look at the screen has found the window in front (its place is asked once).
    if (running) {
      ASSERT_TRUE(waitUntil(kPatience, [&] {
        XTraffic looking(server.display(), clientsOf(client.display(), app.pid()));
        std::this_thread::sleep_for(600ms);
        return looking.finish().requests[kGetImage] > 0;
      }));
    }

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
    // Running, every fifth frame looks at the screen once; nothing else waits for the server.
    EXPECT_EQ(seen.replies, seen.requests[kGetImage]) << "no round trip but the looks";
    EXPECT_LE(seen.requests[kGetImage] * 5, seen.requests[kImageText8] + 5);
    if (c.running) {
      EXPECT_GT(seen.requests[kImageText8], 0) << "frames were drawn";
    } else {
      EXPECT_EQ(seen.replies, 0) << "no round trip";
    }
    EXPECT_EQ(
        seen.requests[kCreateGC] + seen.requests[kChangeGC] + seen.requests[kSetClipRectangles], 0)
        << "no set-up per frame";
    // A tick every 200 ms and, running, a frame every 100 ms, one wakeup each at most: thrice
    // that would be a loop polling something. A loaded machine only merges late wakeups.
    const double timerWakeups = seconds * (c.running ? 10 : 5) + 2;
    EXPECT_LE(switchesPerSecond * seconds, 3 * timerWakeups);
    std::printf("%s: %ld ticks, %ld replies, %ld keymaps, %ld frames, %.1f switches/s\n", c.name,
                ticks, seen.replies, seen.requests[kQueryKeymap], seen.requests[kImageText8],
                switchesPerSecond);
  }
}

// The look at a window that keeps what is drawn onto it finds the clock there, and the clock
// stays on it; once that window repaints, it moves into a window of its own and is seen there,
// and comes back onto the next still window.
TEST_F(TollivaneOnX, TheTimeStaysOnAStillWindowAndLeavesOnlyTheOneThatRepaints) {
  const std::vector<std::string> started = textsFromTapping({XK_F5});
  ASSERT_TRUE(countedFromZero(started)) << joined(started);
  {
    XTraffic still(server.display(), clientsOf(client.display(), app.pid()));
    const std::size_t from = record->mark();
    ASSERT_TRUE(waitUntil(kPatience, [&] { return record->textsSince(from).size() >= 30; }));
    const Traffic seen = still.finish();
    EXPECT_GT(seen.requests[kGetImage], 0) << "the screen was looked at";
    EXPECT_EQ(seen.requests[kMapWindow], 0) << "no window of its own";
  }
  EXPECT_TRUE(overlayShowsTheClock()) << overlay();
  EXPECT_FALSE(ownWindowShown());

  RepaintingGame repainting(server.display(), game);
  ASSERT_TRUE(waitUntil(kPatience, [&] { return ownWindowShown(); }))
      << "the game paints over the clock, which moves into a window of its own";
  Window focus = 0;
  int revertTo = 0;
  XGetInputFocus(client.display(), &focus, &revertTo);
  EXPECT_EQ(focus, game) << "the game keeps the focus";
  constexpr int kSamples = 400;  // two seconds or more
  int seen = 0;
  for (int i = 0; i < kSamples; ++i) {
    if (onScreen().starts_with("00 : 0")) ++seen;
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_GE(seen * 100, kSamples * 99) << seen << " of " << kSamples;

  game = client.createWindow(gameArea(), kBackground);
  client.focus(game);
  EXPECT_TRUE(waitUntil(kPatience, [&] { return !ownWindowShown() && overlay() != ""; }))
      << "the window of its own goes for a window in front that keeps the drawing";
  EXPECT_TRUE(overlayShowsTheClock()) << overlay();
  EXPECT_FALSE(ownWindowShown());
}

// A game of 1920 x 1080: the 640 x 480 picture's (25, 315) is (75, 709), the rectangle is
// 2.25 times as big, and the text as tall as a font the server has allows.
class TollivaneScaledOnX : public TollivaneOnX {
 protected:
  TollivaneScaledOnX() : TollivaneOnX("[rect]\nscale=1\n", "1920x1080x24") {}
  Area gameArea() const override { return {0, 0, 1920, 1080}; }
};

TEST_F(TollivaneScaledOnX, TheTimeIsScaledToTheGamesClientArea) {
  const std::vector<std::string> started = textsFromTapping({XK_F5});
  ASSERT_TRUE(countedFromZero(started)) << joined(started);
  const Area around{45, 680, 230, 90};
  const Area scaled{75, 709, 169, 32};
  Pixels shown;
  ASSERT_TRUE(waitUntil(kPatience, [&] {
    shown = client.pixels(game, around);
    return std::find(shown.begin(), shown.end(), 0x000000u) != shown.end();
  })) << "no text in the scaled rectangle";
  int lowestDark = -1;
  for (int y = 0; y < around.height; ++y) {
    for (int x = 0; x < around.width; ++x) {
      const std::uint32_t pixel = shown[static_cast<std::size_t>(y * around.width + x)];
      const int screenX = around.x + x;
      const int screenY = around.y + y;
      if (pixel == kBackground) continue;
      EXPECT_TRUE(screenX >= scaled.x && screenX < scaled.x + scaled.width && screenY >= scaled.y &&
                  screenY < scaled.y + scaled.height)
          << "drawn at " << screenX << ", " << screenY;
      if (pixel == 0x000000) lowestDark = std::max(lowestDark, screenY);
    }
  }
  EXPECT_GE(lowestDark, scaled.y + scaled.height / 2) << "the text is scaled up too";
}

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
  const std::vector<std::string> started = textsFromTapping({XK_F5});
  EXPECT_TRUE(countedFromZero(started)) << joined(started) << "\n" << app.output();
  EXPECT_TRUE(waitUntil(kPatience, [&] { return overRepaint().starts_with("00 : 00 : "); }))
      << "shows " << overRepaint();
  Window focus = 0;
  int revertTo = 0;
  XGetInputFocus(client.display(), &focus, &revertTo);
  EXPECT_EQ(focus, game) << "the game keeps the focus";

  holdUntilRead({XK_F7});
  EXPECT_TRUE(waitUntil(kPatience, [&] { return overRepaint().empty(); }))
      << "stopped: frames no longer come, and the window goes";
  EXPECT_EQ(joined(textsWhileHolding({XK_F7})), "");
  EXPECT_EQ(overRepaint(), "");
}

TEST(TollivaneLosesX, LosingTheServerEndsTheProgramWithOneClearLine) {
  Xvfb server;
  AppProcess app{TOLLIVANE_EXE, server.display()};
  {
    TestClient client{server.display()};
    ASSERT_TRUE(waitUntil(kPatience, [&] {
      return findWindowTitled(client, "Tollivane").has_value() || !app.running();
    }));
  }
  ASSERT_TRUE(app.running()) << app.output();
  server.kill();
  EXPECT_TRUE(waitUntil(kPatience, [&] { return !app.running(); })) << "it must not hang";
  const std::string out = app.output();
  EXPECT_NE(out.find("Tollivane: lost the connection to the X server\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("X11 connection broke"), std::string::npos) << "one message only: " << out;
  EXPECT_EQ(out.find("XIO"), std::string::npos) << "one message only: " << out;
}

}  // namespace
}  // namespace tollivane::x11test
