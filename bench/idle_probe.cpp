// Measures what Tollivane costs while it waits, side by side with a Qt program that runs the
// same timers empty, on a private Xvfb: processor time from the scheduler's nanosecond
// accounting, X replies, wakeups and context switches, start-up and memory. Prints Markdown.
//   idle_probe <tollivane> <empty_timers> [runs] [seconds per state]
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app_process.hpp"
#include "test_client.hpp"
#include "x_traffic.hpp"
#include "xvfb.hpp"

namespace {

using namespace std::chrono_literals;
using namespace tollivane::x11test;
using Clock = std::chrono::steady_clock;

constexpr const char* kThreeModifiers =
    "[main]\nhotkey1=116\nhotshift1=7\nhotkey2=117\nhotshift2=7\nhotkey3=118\nhotshift3=7\n";

// Processor time and context switches of all threads of a process so far.
struct Usage {
  double cpuNs = 0;
  double voluntary = 0;
  double involuntary = 0;
};

Usage usageOf(pid_t pid) {
  Usage usage;
  std::error_code error;
  const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
  for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
    std::ifstream schedstat(task.path() / "schedstat");
    double ns = 0;
    if (schedstat >> ns) usage.cpuNs += ns;
    std::ifstream status(task.path() / "status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
        usage.voluntary += std::stod(line.substr(24));
      if (line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
        usage.involuntary += std::stod(line.substr(27));
      }
    }
  }
  return usage;
}

long pssKiB(pid_t pid) {
  std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
  std::string line;
  while (std::getline(rollup, line)) {
    if (line.rfind("Pss:", 0) == 0) return std::stol(line.substr(4));
  }
  return -1;
}

using Figures = std::map<std::string, std::vector<double>>;  // by name, one value a run

struct Program {
  AppProcess process;
  double startupMs = -1;

  Program(TestClient& client, const std::string& display, const std::string& executable,
          const std::string& title, const std::string& settings, const std::string& argument)
      : process(
            executable, display, settings,
            argument.empty() ? std::vector<std::string>{} : std::vector<std::string>{argument}) {
    const auto launched = Clock::now();
    while (Clock::now() - launched < 20s && process.running()) {
      if (findWindowTitled(client, title)) {
        startupMs = std::chrono::duration<double, std::milli>(Clock::now() - launched).count();
        return;
      }
      std::this_thread::sleep_for(1ms);
    }
  }
};

// Both programs for `seconds`, at the same time: one figure each for this run.
void measure(Figures& figures, const std::string& state, Program& app, Program& floor,
             const std::string& display, TestClient& client, int seconds) {
  XTraffic appTraffic(display, clientsOf(client.display(), app.process.pid()));
  XTraffic floorTraffic(display, clientsOf(client.display(), floor.process.pid()));
  const Usage app0 = usageOf(app.process.pid());
  const Usage floor0 = usageOf(floor.process.pid());
  const auto start = Clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const Usage app1 = usageOf(app.process.pid());
  const Usage floor1 = usageOf(floor.process.pid());
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  const Traffic appSeen = appTraffic.finish();
  const Traffic floorSeen = floorTraffic.finish();

  auto record = [&](const std::string& who, const Usage& u0, const Usage& u1, const Traffic& t) {
    figures[state + "|" + who + "|cpu"].push_back((u1.cpuNs - u0.cpuNs) / 1e6 * 60.0 / elapsed);
    figures[state + "|" + who + "|replies"].push_back(static_cast<double>(t.replies) / elapsed);
    figures[state + "|" + who + "|wakeups"].push_back((u1.voluntary - u0.voluntary) / elapsed);
    figures[state + "|" + who + "|switches"].push_back(
        (u1.voluntary - u0.voluntary + u1.involuntary - u0.involuntary) / elapsed);
  };
  record("app", app0, app1, appSeen);
  record("floor", floor0, floor1, floorSeen);
  figures[state + "|ratio"].push_back(figures[state + "|app|cpu"].back() /
                                      figures[state + "|floor|cpu"].back());
  // The machine's one-minute load average as the window ends: how busy the run was.
  std::ifstream loadavg("/proc/loadavg");
  double load = -1;
  if (loadavg >> load) figures[state + "|load"].push_back(load);
}

std::string spread(std::vector<double> values, const char* format) {
  if (values.empty()) return "-";
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  char text[128];
  std::string f = std::string(format) + " (" + format + "–" + format + ")";
  std::snprintf(text, sizeof text, f.c_str(), median, values.front(), values.back());
  return text;
}

double mib(long kib) { return static_cast<double>(kib) / 1024.0; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <tollivane> <empty_timers> [runs] [seconds]\n", argv[0]);
    return 2;
  }
  const std::string tollivane = argv[1];
  const std::string emptyTimers = argv[2];
  const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
  const int seconds = argc > 4 ? std::atoi(argv[4]) : 60;

  struct State {
    const char* name;
    const char* settings;
    std::vector<unsigned long> startKeys;  // none: stopped
  };
  const State states[] = {
      {"stopped", "", {}},
      {"running", "", {XK_F5}},
      {"modifiers", kThreeModifiers, {XK_Shift_L, XK_Control_L, XK_Alt_L, XK_F5}}};
  Figures figures;
  for (int run = 0; run < runs; ++run) {
    for (const State& state : states) {
      std::fprintf(stderr, "run %d of %d: %s\n", run + 1, runs, state.name);
      Xvfb server;
      TestClient client(server.display());
      Program app(client, server.display(), tollivane, "Tollivane", state.settings, "");
      Program floor(client, server.display(), emptyTimers, "Empty timers", "",
                    state.startKeys.empty() ? "stopped" : "running");
      if (app.startupMs < 0 || floor.startupMs < 0) {
        std::fprintf(stderr, "a window never showed\n%s", app.process.output().c_str());
        return 1;
      }
      figures["startup|app"].push_back(app.startupMs);
      figures["startup|floor"].push_back(floor.startupMs);
      std::this_thread::sleep_for(500ms);
      const Window game = client.createWindow({400, 0, 340, 400}, 0x305070);
      client.focus(game);
      for (unsigned long k : state.startKeys) client.key(k, true);
      std::this_thread::sleep_for(400ms);
      for (auto k = state.startKeys.rbegin(); k != state.startKeys.rend(); ++k) {
        client.key(*k, false);
      }
      std::this_thread::sleep_for(2s);
      if (!state.startKeys.empty() &&
          client.overlayText(game, {25, 315, 75, 14}, 0x305070).empty()) {
        std::fprintf(stderr, "the stopwatch did not start\n");
        return 1;
      }
      measure(figures, state.name, app, floor, server.display(), client, seconds);
      if (!state.startKeys.empty() && state.settings[0] == '\0') {
        figures["memory|app|peak"].push_back(mib(memoryKiB(app.process.pid(), "VmHWM")));
        figures["memory|app|pss"].push_back(mib(pssKiB(app.process.pid())));
        figures["memory|floor|peak"].push_back(mib(memoryKiB(floor.process.pid(), "VmHWM")));
        figures["memory|floor|pss"].push_back(mib(pssKiB(floor.process.pid())));
      }
    }
  }

  const int launches = runs * 3;
  std::printf(
      "Medians, with the lowest and highest in brackets, of %d runs of %d s per state "
      "(start-up: %d launches).\n\n",
      runs, seconds, launches);
  std::printf(
      "| State | CPU, Tollivane (ms/min) | CPU, floor (ms/min) | Ratio to the floor | "
      "Load average |\n"
      "|---|---|---|---|---|\n");
  const char* labels[][2] = {{"stopped", "Stopped"},
                             {"running", "Running (overlay drawn 10 times a second)"},
                             {"modifiers", "Running, every binding on Shift+Ctrl+Alt"}};
  for (const auto& [key, label] : labels) {
    const std::string k = key;
    std::printf("| %s | %s | %s | %s | %s |\n", label,
                spread(figures[k + "|app|cpu"], "%.1f").c_str(),
                spread(figures[k + "|floor|cpu"], "%.1f").c_str(),
                spread(figures[k + "|ratio"], "%.2f").c_str(),
                spread(figures[k + "|load"], "%.1f").c_str());
  }
  std::printf(
      "\n| State | Program | X round trips/s | Wakeups/s (voluntary switches) | "
      "Context switches/s |\n|---|---|---|---|---|\n");
  for (const auto& [key, label] : labels) {
    for (const char* who : {"app", "floor"}) {
      const std::string k = std::string(key) + "|" + who + "|";
      std::printf("| %s | %s | %s | %s | %s |\n", label,
                  std::string(who) == "app" ? "Tollivane" : "floor",
                  spread(figures[k + "replies"], "%.1f").c_str(),
                  spread(figures[k + "wakeups"], "%.1f").c_str(),
                  spread(figures[k + "switches"], "%.1f").c_str());
    }
  }
  std::printf("\n| Figure | Tollivane | floor |\n|---|---|---|\n");
  std::printf("| Start to main window shown (ms, %d launches) | %s | %s |\n", launches,
              spread(figures["startup|app"], "%.0f").c_str(),
              spread(figures["startup|floor"], "%.0f").c_str());
  std::printf("| Peak resident memory, VmHWM (MiB, running) | %s | %s |\n",
              spread(figures["memory|app|peak"], "%.1f").c_str(),
              spread(figures["memory|floor|peak"], "%.1f").c_str());
  std::printf("| Proportional set size, Pss (MiB, running) | %s | %s |\n",
              spread(figures["memory|app|pss"], "%.1f").c_str(),
              spread(figures["memory|floor|pss"], "%.1f").c_str());
  return 0;
}
