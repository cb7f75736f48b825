// Measures the real program on a private Xvfb: hotkey press to overlay pixels and taps
// shorter than a poll (its cost while waiting: idle_probe). Prints a Markdown table.
//   overlay_probe <path to tollivane> [presses] [taps]
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app_process.hpp"
#include "test_client.hpp"
#include "xvfb.hpp"

namespace {

using namespace std::chrono_literals;
using namespace tollivane::x11test;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kBackground = 0x305070;
constexpr Area kOverlay{25, 315, 75, 14};

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[index];
}

struct Probe {
  Xvfb server;
  TestClient client{server.display()};
  Window game = 0;
  std::mt19937 random{20240607};

  std::string overlay() { return client.overlayText(game, kOverlay, kBackground); }

  // Waits for the first frame of a fresh start; releases the key after `held`.
  double startLatency(std::chrono::milliseconds held, double limitMs) {
    const auto pressed = Clock::now();
    client.key(XK_F5, true);
    bool down = true;
    double seen = -1;
    while (msSince(pressed) < limitMs && seen < 0) {
      if (down && msSince(pressed) >= static_cast<double>(held.count())) {
        client.key(XK_F5, false);
        down = false;
      }
      if (overlay() == "00 : 00 : 00") seen = msSince(pressed);
      std::this_thread::sleep_for(1ms);
    }
    if (down) client.key(XK_F5, false);
    return seen;
  }

  void stopAndWipe() {
    client.tap(XK_F7, 60ms);
    std::this_thread::sleep_for(300ms);
    client.clear(game, kOverlay);
  }

  void somewhereInAPoll() {
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 200));
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <tollivane> [presses] [taps]\n", argv[0]);
    return 2;
  }
  const int presses = argc > 2 ? std::atoi(argv[2]) : 50;
  const int taps = argc > 3 ? std::atoi(argv[3]) : 50;

  Probe probe;
  const auto launched = Clock::now();
  AppProcess app(argv[1], probe.server.display());
  std::optional<Area> shown;
  while (!(shown = findWindowTitled(probe.client, "Tollivane")) && msSince(launched) < 20000) {
    std::this_thread::sleep_for(1ms);
  }
  if (!shown) {
    std::fprintf(stderr, "the main window never showed\n%s", app.output().c_str());
    return 1;
  }
  std::this_thread::sleep_for(500ms);
  const int x = shown->x >= 350 ? 0 : shown->x + shown->width + 10;
  probe.game = probe.client.createWindow({x, 0, 340, 400}, kBackground);
  probe.client.focus(probe.game);

  std::vector<double> latencies;
  for (int i = 0; i < presses; ++i) {
    probe.somewhereInAPoll();
    const double latency = probe.startLatency(80ms, 1500);
    if (latency >= 0) latencies.push_back(latency);
    probe.stopAndWipe();
  }
  int detected = 0;
  for (int i = 0; i < taps; ++i) {
    probe.somewhereInAPoll();
    if (probe.startLatency(30ms, 800) >= 0) ++detected;
    probe.stopAndWipe();
  }

  std::printf("| Figure | Value |\n|---|---|\n");
  if (latencies.empty()) {
    std::printf("| Hotkey press to first overlay pixels | never seen in %d presses |\n", presses);
  } else {
    std::printf("| Hotkey press to first overlay pixels, median | %.0f ms (%zu of %d presses) |\n",
                percentile(latencies, 0.5), latencies.size(), presses);
    std::printf("| Hotkey press to first overlay pixels, 95th percentile | %.0f ms |\n",
                percentile(latencies, 0.95));
  }
  std::printf("| 30 ms taps detected | %d of %d (%.0f %%) |\n", detected, taps,
              taps ? 100.0 * detected / taps : 0.0);
  return 0;
}
