// The tests' own X connection: windows, focus, keys and clicks injected with XTEST, and
// pixels read back and compared with text the test renders itself.
#pragma once

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tollivane::x11test {

struct Area {
  int x, y, width, height;
};

using Pixels = std::vector<std::uint32_t>;  // 0xRRGGBB, row by row

class TestClient {
 public:
  explicit TestClient(const std::string& displayName);
  ~TestClient();
  TestClient(const TestClient&) = delete;
  TestClient& operator=(const TestClient&) = delete;

  Display* display() const { return dpy; }
  Window root() const { return DefaultRootWindow(dpy); }
  void sync() { XSync(dpy, False); }

  // Mapped and viewable when this returns; background 0xRRGGBB. `depth` 32: a window with
  // alpha, opaque; 0: the screen's depth.
  Window createWindow(const Area& area, std::uint32_t background, int depth = 0);
  void destroyWindow(Window window);
  void focus(Window window);
  // Publishes the window manager's active window on the root, or removes it.
  void setActiveWindow(std::optional<Window> window);

  void key(unsigned long keysym, bool down);
  void tap(unsigned long keysym, std::chrono::milliseconds held);
  void click(int rootX, int rootY);

  Pixels pixels(Drawable drawable, const Area& area);
  void clear(Window window, const Area& area);

  // What `area` should show when `text` is drawn into `rect` centred at its top, clipped,
  // in the default font, `color` text on white cells over a `background` fill.
  Pixels expected(const std::string& text, const Area& rect, const Area& area,
                  std::uint32_t background, std::uint32_t color = 0x000000);

  // Which of "00 : 00 : 00" to "00 : 01 : 59" the overlay at `rect` of `window` shows:
  // "" when nothing is drawn there, "?" for anything else.
  std::string overlayText(Window window, const Area& rect, std::uint32_t background);

 private:
  Display* dpy;
  std::map<std::pair<std::uint32_t, std::string>, Pixels> rendered;
};

// A game's frames: another connection repaints the whole of `window` again and again, each
// frame waiting for the server, from construction to destruction.
class RepaintingGame {
 public:
  RepaintingGame(const std::string& displayName, Window window);
  ~RepaintingGame();
  RepaintingGame(const RepaintingGame&) = delete;
  RepaintingGame& operator=(const RepaintingGame&) = delete;

 private:
  std::atomic<bool> stopping{false};
  std::thread frames;
};

// The clock text of a whole number of seconds, as the stopwatch writes it.
std::string clockText(int seconds);

}  // namespace tollivane::x11test
