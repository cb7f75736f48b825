// Running out of memory in a handler is run-time error 7, reported like any other: it ends the
// program where no handler catches run-time errors, and a save command shows it and goes on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <new>

#include "app/event_dispatch.hpp"
#include "frontend/sim/sim_app.hpp"
#include "frontend/sim/sim_desktop.hpp"
#include "heap_probe.hpp"
#include "platform/posix/whole_file_read.hpp"

namespace tollivane::frontend::sim {
namespace {

constexpr std::size_t kLimit = 1 << 20;

// A valid settings file of 2 MB: a long comment, then the keys.
void writeLargeSettings(const std::string& path) {
  std::ofstream(path, std::ios::binary)
      << ";" << std::string(2 * kLimit, 'x') << "\r\n[main]\r\nhotkey1=65\r\n";
}

// Allocations as large as a huge file fail, as on a machine without the memory for one.
struct Armed : testing::FailLargeAllocations {
  Armed() : FailLargeAllocations(kLimit) {}
};

TEST(OutOfMemory, AtStartUpIsRunTimeErrorSevenAndEndsTheProgram) {
  SimDesktop sim;
  writeLargeSettings(sim.settingsFile());
  SimApp app(sim);
  {
    Armed armed;
    app.load();
  }
  ASSERT_EQ(sim.dialogs().runtimeErrors().size(), 1u);
  EXPECT_EQ(sim.dialogs().runtimeErrors()[0].number, 7);
  EXPECT_EQ(sim.dialogs().runtimeErrors()[0].description, "Out of memory");
  EXPECT_TRUE(sim.dialogs().ended());
}

TEST(OutOfMemory, InASaveIsShownAndTheProgramGoesOn) {
  SimDesktop sim;
  SimApp app(sim);
  app.load();
  writeLargeSettings(sim.settingsFile());
  const auto before = platform::posix::readWholeFile(sim.settingsFile());
  app.click("mnuHotkeys");
  app.keyDown("qvHotKey1", 66, 0);
  {
    Armed armed;
    app.click("Command2");
  }
  ASSERT_EQ(sim.dialogs().messageBoxes().size(), 1u);
  EXPECT_EQ(sim.dialogs().messageBoxes()[0].prompt, "Out of memory");
  EXPECT_FALSE(sim.dialogs().ended());
  EXPECT_EQ(app.form().record().HotKeyCodes[0], 116);
  EXPECT_EQ(platform::posix::readWholeFile(sim.settingsFile()), before);
}

TEST(OutOfMemory, AnyOtherHandlerEndsTheProgramWithErrorSeven) {
  SimDesktop sim;
  bool halted = false;
  app::dispatch(
      sim.dialogs(), [&] { halted = sim.dialogs().runtimeErrors().empty(); },
      [] { throw std::bad_alloc(); });
  EXPECT_TRUE(halted) << "halted after the report";
  ASSERT_EQ(sim.dialogs().runtimeErrors().size(), 1u);
  EXPECT_EQ(sim.dialogs().runtimeErrors()[0].number, 7);
  EXPECT_TRUE(sim.dialogs().ended());
}

}  // namespace
}  // namespace tollivane::frontend::sim
