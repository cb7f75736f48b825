// Running out of memory in a handler is run-time error 7, reported like any other: it ends the
// program where no handler catches run-time errors, and a save command shows it and goes on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <new>

#include "app/event_dispatch.hpp"
#include "frontend/sim/sim_app.hpp"
#include "frontend/sim/sim_platform.hpp"
#include "platform/posix/posix_files.hpp"

namespace {
// Allocations of at least this many bytes fail while it is not 0, as they would on a machine
// without the memory for a huge file.
std::size_t failFrom = 0;
}  // namespace

void* operator new(std::size_t size) {
  if (failFrom != 0 && size >= failFrom) throw std::bad_alloc();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace tollivane::frontend::sim {
namespace {

constexpr std::size_t kLimit = 1 << 20;

// A valid settings file of 2 MB: a long comment, then the keys.
void writeLargeSettings(const std::string& path) {
  std::ofstream(path, std::ios::binary)
      << ";" << std::string(2 * kLimit, 'x') << "\r\n[main]\r\nhotkey1=65\r\n";
}

struct Armed {
  Armed() { failFrom = kLimit; }
  ~Armed() { failFrom = 0; }
};

TEST(OutOfMemory, AtStartUpIsRunTimeErrorSevenAndEndsTheProgram) {
  SimPlatform sim;
  writeLargeSettings(sim.settingsFile());
  SimApp app(sim);
  {
    Armed armed;
    app.load();
  }
  ASSERT_EQ(sim.shell().runtimeErrors().size(), 1u);
  EXPECT_EQ(sim.shell().runtimeErrors()[0].number, 7);
  EXPECT_EQ(sim.shell().runtimeErrors()[0].description, "Out of memory");
  EXPECT_TRUE(sim.shell().ended());
}

TEST(OutOfMemory, InASaveIsShownAndTheProgramGoesOn) {
  SimPlatform sim;
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
  ASSERT_EQ(sim.shell().messageBoxes().size(), 1u);
  EXPECT_EQ(sim.shell().messageBoxes()[0].prompt, "Out of memory");
  EXPECT_FALSE(sim.shell().ended());
  EXPECT_EQ(app.form().record().HotKeyCodes[0], 116);
  EXPECT_EQ(platform::posix::readWholeFile(sim.settingsFile()), before);
}

TEST(OutOfMemory, AnyOtherHandlerEndsTheProgramWithErrorSeven) {
  SimPlatform sim;
  app::dispatch(sim.shell(), [] { throw std::bad_alloc(); });
  ASSERT_EQ(sim.shell().runtimeErrors().size(), 1u);
  EXPECT_EQ(sim.shell().runtimeErrors()[0].number, 7);
  EXPECT_TRUE(sim.shell().ended());
}

}  // namespace
}  // namespace tollivane::frontend::sim
