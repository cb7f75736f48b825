#include "frontend/sim/sim_platform.hpp"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "settings/settings_keys.hpp"
#include "ui/layout.hpp"

namespace tollivane::frontend::sim {

namespace {

std::string makeTemporaryFolder() {
  std::error_code ec;
  std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) base = "/tmp";
  std::string pattern = (base / "tollivane-sim-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!mkdtemp(buffer.data())) throw std::runtime_error("cannot make a folder in " + base.string());
  return buffer.data();
}

// Without a trailing separator, except for the root.
std::string folderText(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

SimPlatform::SimPlatform(std::optional<std::string> folder)
    : folder_(folder ? folderText(std::move(*folder)) : makeTemporaryFolder()),
      ownsFolder_(!folder),
      mainWindow_(ui::mainWindowLayout()),
      aboutWindow_(ui::aboutWindowLayout()),
      shell_(folder_, clock_, aboutWindow_),
      platform_{keyboard_, surface_, shell_},
      mainControls_(sim::mainWindowControls(mainWindow_, timer1_, timer2_)) {}

SimPlatform::~SimPlatform() {
  if (ownsFolder_) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
}

std::string SimPlatform::settingsFile() const {
  const std::string file(settings::kSettingsFileName);
  return folder_ == "/" ? "/" + file : folder_ + "/" + file;
}

}  // namespace tollivane::frontend::sim
