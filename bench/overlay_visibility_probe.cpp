// How often the time can be seen over a stand-in game that repaints its whole client area, with
// the default settings (drawn onto the game until it is seen painted over) and with "Overlay
// window": the real program on a private Xvfb, the overlay's rectangle read
// back from the screen every 5 ms, and what the program asked of the server meanwhile. Prints
// Markdown tables. With "restarted", the game is closed and started again before the samples,
// until its new window has the id of the old one, as a restarted game often gets.
//   overlay_visibility_probe <tollivane> <standin_game> [runs] [seconds] [restarted]
#include <X11/keysym.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <numeric>
#include "app_process.hpp"
#include "test_client.hpp"
#include "xvfb.hpp"

#include "x_traffic.hpp"

namespace {

using namespace std::chrono_literals;
using namespace tollivane::x11test;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kGameColour = 0x305070;  // standin_game's
constexpr int kPosX = 25;
constexpr int kPosY = 315;
constexpr auto kSampleEvery = 5ms;

struct Way {
  const char* name;
  const char* setting;  // lines of the [rect] section
};

struct Run {
  double visiblePercent = 0;      // of the samples, those in which the clock text stands whole
  double requestsPerSecond = -1;  // of both the program's connections; -1: not counted
  double repliesPerSecond = -1;
};

struct Game {
  FILE* output = nullptr;
  int pid = 0;
  unsigned long window = 0;
};

Game startGame(const std::string& command) {
  Game game;
  game.output = popen(command.c_str(), "r");
  if (!game.output || std::fscanf(game.output, "%d %lu", &game.pid, &game.window) != 2) {
    std::fprintf(stderr, "the stand-in game did not start\n");
    std::exit(1);
  }
  return game;
}

void stopGame(Game& game) {
  kill(game.pid, SIGTERM);
  pclose(game.output);
}

Run measure(const char* program, const char* game, const Way& way, int fps, double seconds,
            bool restarted) {
  Xvfb server;
  TestClient client{server.display()};
  AppProcess app(
      program, server.display(),
      "[rect]\nX=" + std::to_string(kPosX) + "\nY=" + std::to_string(kPosY) + "\n" + way.setting);
  std::optional<Area> shown;
  const auto launched = Clock::now();
  while (!(shown = findWindowTitled(client, "Tollivane")) && Clock::now() - launched < 20s) {
    std::this_thread::sleep_for(1ms);
  }
  if (!shown) {
    std::fprintf(stderr, "the main window never showed\n%s", app.output().c_str());
    std::exit(1);
  }
  const int x = shown->x >= 350 ? 0 : shown->x + shown->width + 10;
  const std::string command = "DISPLAY=" + server.display() + " exec '" + game + "' " +
                              std::to_string(fps) + " " + std::to_string(seconds + 5) + " " +
                              std::to_string(x) + " 0 340 400";
  Game running = startGame(command);
  std::this_thread::sleep_for(300ms);
  client.tap(XK_F5, 80ms);  // start the stopwatch
  std::this_thread::sleep_for(1000ms);
  if (restarted) {
    const unsigned long first = running.window;
    for (int attempt = 0; attempt < 20 && (attempt == 0 || running.window != first); ++attempt) {
      stopGame(running);
      running = startGame(command);
    }
    if (running.window != first) {
      std::fprintf(stderr, "the restarted game never got its old window id\n");
      std::exit(1);
    }
    std::this_thread::sleep_for(500ms);
  }

  const Area rect{x + kPosX, kPosY, 75, 14};
  XTraffic traffic(server.display(), clientsOf(client.display(), app.pid()));
  const auto sampling = Clock::now();
  const auto samples = static_cast<int>(seconds * 1000 / kSampleEvery.count());
  int visible = 0;
  auto next = Clock::now();
  for (int i = 0; i < samples; ++i) {
    const std::string text = client.overlayText(client.root(), rect, kGameColour);
    if (!text.empty() && text != "?") ++visible;
    next += kSampleEvery;
    std::this_thread::sleep_until(next);
  }
  Run run;
  run.visiblePercent = 100.0 * visible / samples;
  const Traffic seen = traffic.finish();
  const double took = std::chrono::duration<double>(Clock::now() - sampling).count();
  run.requestsPerSecond =
      static_cast<double>(std::accumulate(seen.requests.begin(), seen.requests.end(), 0L)) / took;
  run.repliesPerSecond = static_cast<double>(seen.replies) / took;
  stopGame(running);
  return run;
}

// "median (lowest-highest)" of one figure of the runs.
std::string spread(std::vector<Run> runs, double Run::*figure, const char* format) {
  std::sort(runs.begin(), runs.end(),
            [figure](const Run& a, const Run& b) { return a.*figure < b.*figure; });
  char cell[96];
  std::snprintf(cell, sizeof cell, format, runs[runs.size() / 2].*figure, runs.front().*figure,
                runs.back().*figure);
  return cell;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <tollivane> <standin_game> [runs] [seconds] [restarted]\n",
                 argv[0]);
    return 2;
  }
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  const double seconds = argc > 4 ? std::atof(argv[4]) : 6.0;
  const bool restarted = argc > 5 && std::string(argv[5]) == "restarted";
  const Way ways[] = {{"default settings", ""}, {"Overlay window", "window=1\n"}};
  std::vector<int> rates{0, 30, 60, 144};
  if (restarted) rates = {0, 60};

  std::vector<std::pair<std::string, std::vector<Run>>> rows;  // per rate, then per way
  for (const int fps : rates) {
    for (const Way& way : ways) {
      std::vector<Run> runsOfWay;
      for (int run = 0; run < runs; ++run) {
        runsOfWay.push_back(measure(argv[1], argv[2], way, fps, seconds, restarted));
      }
      rows.emplace_back(fps == 0 ? "never repaints" : "repaints at " + std::to_string(fps) + " fps",
                        std::move(runsOfWay));
    }
  }
  std::printf("Samples in which the time is seen:\n\n| Stand-in game | %s | %s |\n|---|---|---|\n",
              ways[0].name, ways[1].name);
  for (std::size_t i = 0; i < rows.size(); i += 2) {
    std::printf("| %s | %s | %s |\n", rows[i].first.c_str(),
                spread(rows[i].second, &Run::visiblePercent, "%.1f %% (%.1f-%.1f)").c_str(),
                spread(rows[i + 1].second, &Run::visiblePercent, "%.1f %% (%.1f-%.1f)").c_str());
  }
  if (rows.front().second.front().requestsPerSecond >= 0) {
    std::printf(
        "\nWhat the program asked of the X server meanwhile (both its connections; the same "
        "hotkey poll and clock either way, so the columns differ only by the way of drawing):\n\n"
        "| Stand-in game | Requests/s, %s | Requests/s, %s | Round trips/s, %s | "
        "Round trips/s, %s |\n|---|---|---|---|---|\n",
        ways[0].name, ways[1].name, ways[0].name, ways[1].name);
    for (std::size_t i = 0; i < rows.size(); i += 2) {
      std::printf("| %s | %s | %s | %s | %s |\n", rows[i].first.c_str(),
                  spread(rows[i].second, &Run::requestsPerSecond, "%.1f (%.1f-%.1f)").c_str(),
                  spread(rows[i + 1].second, &Run::requestsPerSecond, "%.1f (%.1f-%.1f)").c_str(),
                  spread(rows[i].second, &Run::repliesPerSecond, "%.1f (%.1f-%.1f)").c_str(),
                  spread(rows[i + 1].second, &Run::repliesPerSecond, "%.1f (%.1f-%.1f)").c_str());
    }
  }
  return 0;
}
