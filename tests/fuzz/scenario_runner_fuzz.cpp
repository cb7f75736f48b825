// The scenario runner's command language on any input: every line is a command carried out
// or refused, never a crash.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "frontend/sim/scenario_runner.hpp"
#include "frontend/sim/scenario_words.hpp"
#include "frontend/sim/sim_desktop.hpp"

namespace {

using namespace tollivane::frontend::sim;

// One folder for every input: making and removing one per input would be most of the work.
std::string& folder() {
  static std::string path = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tollivane-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }();
  return path;
}

// Simulated time costs real time: a wait of years would make one input run for hours.
bool tooLong(std::string_view line) {
  const auto words = splitWords(line);
  if (words.size() != 2 || words[0].text != "wait") return false;
  const auto ms = parseNumber<std::int64_t>(words[1].text, 0);
  return ms && *ms > 60'000;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The runner reports on standard output; only crashes matter here.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  std::filesystem::remove(folder() + "/Tollivane.ini");
  SimDesktop sim(folder());
  ScenarioRunner runner(sim, stdout);
  std::string_view input(reinterpret_cast<const char*>(bytes), size);
  // As the program's main loop reads its input.
  while (!input.empty() && !runner.ended()) {
    const auto newline = input.find('\n');
    const auto command = commandLine(input.substr(0, newline));
    input.remove_prefix(newline == std::string_view::npos ? input.size() : newline + 1);
    if (!command || tooLong(*command)) continue;
    runner.execute(*command);
  }
  return 0;
}
