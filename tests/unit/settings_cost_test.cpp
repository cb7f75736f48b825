// Start-up and a save cost memory in proportion to the file, whatever its lines look like:
// the bytes allocated are counted, not timed.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "frontend/sim/sim_app.hpp"
#include "frontend/sim/sim_desktop.hpp"
#include "heap_probe.hpp"

namespace tollivane::frontend::sim {
namespace {

std::size_t bytesAllocatedDuring(auto&& work) { return testing::heapUseDuring(work).bytes; }

TEST(SettingsCost, StartUpAndSaveAllocateInProportionToTheFile) {
  constexpr std::size_t kSize = 4 << 20;
  const std::pair<const char*, std::string> shapes[] = {
      {"blank lines", "\r\n"},
      {"short keys", "k=1\r\n"},
      {"one long line", std::string(kSize, 'x')},
      {"blanks and tabs", " \t"},
  };
  for (const auto& [shape, line] : shapes) {
    SimDesktop sim;
    {
      std::ofstream file(sim.settingsFile(), std::ios::binary);
      file << "[data]\r\n";
      for (std::size_t written = 0; written < kSize; written += line.size()) file << line;
      file << "\r\n[main]\r\nhotkey1=65\r\n";
    }
    SimApp app(sim);
    const std::size_t load = bytesAllocatedDuring([&] { app.load(); });
    ASSERT_EQ(app.form().record().HotKeyCodes[0], 65) << shape;
    // The file's bytes once, plus a little: no record per line, no copy per setting. (At least
    // once: the whole file is read, so a count of less means the count itself is broken.)
    EXPECT_GE(load, kSize) << shape;
    EXPECT_LT(load, kSize * 3 / 2) << shape;

    app.click("mnuHotkeys");
    app.keyDown("qvHotKey1", 66, 0);
    const std::size_t save = bytesAllocatedDuring([&] { app.click("Command2"); });
    ASSERT_TRUE(sim.dialogs().messageBoxes().empty()) << shape;
    // The old bytes and the new ones: one pass, not one per key.
    EXPECT_LT(save, kSize * 3) << shape;
  }
}

}  // namespace
}  // namespace tollivane::frontend::sim
