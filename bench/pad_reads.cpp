// The pad adapter while no pad is attached: READS reads at the poll's 200 ms after the first,
// which starts SDL. Prints the threads the process has and the voluntary context switches
// beside the reads' own sleeps; bench/pad_reads.sh also counts the reads' instructions.
//   pad_reads READS
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <thread>

#include "platform/sdl/sdl_pads.hpp"

namespace {

long threads() {
  const std::filesystem::directory_iterator tasks("/proc/self/task");
  return static_cast<long>(std::distance(begin(tasks), end(tasks)));
}

long voluntarySwitches() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("voluntary_ctxt_switches:")) return std::stol(line.substr(24));
  }
  return -1;
}

}  // namespace

// What callgrind counts (--toggle-collect): nothing of the sleeps between.
[[gnu::noinline]] std::size_t measuredRead(tollivane::platform::PadState& pads,
                                           std::array<std::uint32_t, 8>& out) {
  return pads.readPads(out);
}

int main(int argc, char** argv) {
  const long reads = argc > 1 ? std::atol(argv[1]) : 50;
  const long threadsBefore = threads();
  auto pads = tollivane::platform::sdl::makeSdlPads();
  std::array<std::uint32_t, 8> out{};
  std::size_t seen = pads->readPads(out);
  const long switches = voluntarySwitches();
  for (long i = 0; i < reads; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    seen += measuredRead(*pads, out);
  }
  std::cout << "threads " << threadsBefore << " " << threads() << " switches "
            << voluntarySwitches() - switches - reads << " pads " << seen << "\n";
}
