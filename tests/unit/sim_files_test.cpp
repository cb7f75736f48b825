// The simulated machine's files: a real folder, and saves a test can make fail.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "frontend/sim/sim_desktop.hpp"

namespace tollivane::frontend::sim {
namespace {

platform::Files::FileEdit replacingWith(std::string bytes) {
  return [bytes](const std::optional<std::string>&) { return std::optional<std::string>(bytes); };
}

TEST(SimFiles, LiveInTheProgramFolder) {
  SimDesktop sim;
  platform::Files& files = sim.platform().files;
  const std::string file = sim.settingsFile();
  EXPECT_EQ(file, sim.folder() + "/Tollivane.ini");
  EXPECT_EQ(files.settingsFile("Tollivane.ini"), file);
  EXPECT_FALSE(files.fileExists(file));
  EXPECT_EQ(files.readFile(file), std::nullopt);
  EXPECT_EQ(files.updateFile(file, replacingWith("[main]\r\nhotkey1=116\r\n")), "");
  EXPECT_TRUE(files.fileExists(file));
  EXPECT_EQ(files.readFile(file), "[main]\r\nhotkey1=116\r\n");
  EXPECT_FALSE(files.fileExists(sim.folder()));

  const auto append = [](const std::optional<std::string>& bytes) {
    return std::optional<std::string>(bytes.value_or("") + "hotkey2=117\r\n");
  };
  EXPECT_EQ(files.updateFile(file, append), "");
  EXPECT_EQ(files.readFile(file), "[main]\r\nhotkey1=116\r\nhotkey2=117\r\n");
}

TEST(SimFiles, FailingSavesWriteNothing) {
  SimDesktop sim;
  platform::Files& files = sim.platform().files;
  const std::string file = sim.settingsFile();
  ASSERT_EQ(files.updateFile(file, replacingWith("[main]\r\n")), "");
  sim.steering().failSavesWith("Disk full");
  EXPECT_EQ(files.updateFile(file, replacingWith("lost")), "Disk full");
  // An update that changes nothing writes nothing, so it cannot fail.
  EXPECT_EQ(files.updateFile(file, [](const auto&) { return std::optional<std::string>(); }), "");
  EXPECT_EQ(files.readFile(file), "[main]\r\n");
}

}  // namespace
}  // namespace tollivane::frontend::sim
