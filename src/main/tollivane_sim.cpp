// tollivane-sim: runs Tollivane on the simulated platform, driven by commands on standard
// input, and writes what happens to standard output (docs/scenarios.md).
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "frontend/sim/scenario_runner.hpp"
#include "frontend/sim/sim_desktop.hpp"
#include "standard_streams.hpp"

namespace {

int usage() {
  std::fputs("usage: tollivane-sim [--dir FOLDER] < commands\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tollivane::frontend::sim;
  tollivane::openClosedStandardStreams();
  tollivane::useBinaryStandardStreams();
  std::optional<std::string> folder;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--dir" && i + 1 < argc && !folder) {
      folder = argv[++i];
    } else {
      return usage();
    }
  }
  if (folder && !std::filesystem::is_directory(*folder)) {
    std::fprintf(stderr, "tollivane-sim: no such folder: %s\n", folder->c_str());
    return 2;
  }

  SimDesktop sim(folder);
  ScenarioRunner runner(sim, stdout);
  return runner.run(std::cin, stderr) ? 0 : 1;
}
