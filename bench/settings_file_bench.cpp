// One measurement of the settings file's cost, for bench/settings_startup.sh:
//   settings_file_bench read|startup|save FOLDER
// read: the file's bytes only (the baseline); startup: the program's start-up on the simulated
// platform; save: "Save keys" after start-up, timed alone. Prints seconds and peak resident
// kilobytes.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "frontend/sim/sim_app.hpp"
#include "frontend/sim/sim_desktop.hpp"
#include "platform/posix/whole_file_read.hpp"

using namespace tollivane::platform;
using tollivane::frontend::sim::SimApp;
using tollivane::frontend::sim::SimDesktop;

namespace {

double secondsOf(auto&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: settings_file_bench read|startup|save FOLDER\n", stderr);
    return 2;
  }
  const std::string_view mode = argv[1];
  const std::string folder = argv[2];
  double seconds = 0;
  bool ok = true;
  if (mode == "read") {
    seconds = secondsOf([&] { ok = posix::readWholeFile(folder + "/Tollivane.ini").has_value(); });
  } else {
    SimDesktop desktop(folder);
    SimApp app(desktop);
    const double load = secondsOf([&] { app.load(); });
    const std::int16_t code = app.form().record().HotKeyCodes[0];
    ok = (code == 65 || code == 66) && desktop.dialogs().messageBoxes().empty();
    seconds = load;
    if (mode == "save") {
      app.click("mnuHotkeys");
      app.keyDown("qvHotKey1", code == 65 ? 66 : 65, 0);
      seconds = secondsOf([&] { app.click("Command2"); });
      ok = ok && desktop.dialogs().messageBoxes().empty();
    }
  }
  if (!ok) {
    std::fputs("settings_file_bench: the settings were not read or saved\n", stderr);
    return 1;
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%.6f %ld\n", seconds, usage.ru_maxrss);
  return 0;
}
