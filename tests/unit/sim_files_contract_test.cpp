// The files contract over the simulated platform's files. The other program is a thread with
// a simulated platform of its own; nothing in the simulation holds a file open, so holding one
// is a no-op there.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "contract/files_contract.hpp"
#include "contract/line_appender.hpp"
#include "frontend/sim/sim_desktop.hpp"

namespace tollivane::frontend::sim {
namespace {

using contract::FilesContract;

// One simulated desktop, seen only as its files.
class SimDesktopFiles final : public platform::Files {
 public:
  std::string settingsFile(std::string_view name) override { return files().settingsFile(name); }
  bool fileExists(const std::string& path) override { return files().fileExists(path); }
  std::optional<std::string> readFile(const std::string& path) override {
    return files().readFile(path);
  }
  std::string updateFile(const std::string& path, const FileEdit& edit) override {
    return files().updateFile(path, edit);
  }

 private:
  platform::Files& files() { return sim_.platform().files; }
  mutable SimDesktop sim_;
};

contract::FilesKit simKit() {
  contract::FilesKit kit;
  kit.name = "Sim";
  kit.make = [] { return std::make_unique<SimDesktopFiles>(); };
  kit.otherWriter = [](const std::string& path, int count, const std::string& tag) {
    auto reasons = std::make_shared<std::vector<std::string>>();
    auto writer = std::make_shared<std::thread>([=] {
      SimDesktopFiles files;
      *reasons = contract::appendLines(files, path, count, tag);
    });
    return std::function<std::vector<std::string>()>([=] {
      writer->join();
      return *reasons;
    });
  };
  kit.holdOpen = [](const std::string&) { return std::function<void()>([] {}); };
  return kit;
}

INSTANTIATE_TEST_SUITE_P(Sim, FilesContract, ::testing::Values(simKit()), contract::kitName);

}  // namespace
}  // namespace tollivane::frontend::sim
