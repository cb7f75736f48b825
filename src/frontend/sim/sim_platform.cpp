#include "frontend/sim/sim_platform.hpp"

#include "frontend/sim/host_files.hpp"
#include "settings/settings_keys.hpp"
#include "ui/layout.hpp"

namespace tollivane::frontend::sim {

namespace {

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
    removeFolder(folder_);
  }
}

std::string SimPlatform::settingsFile() const {
  const std::string file(settings::kSettingsFileName);
  return folder_ == "/" ? "/" + file : folder_ + "/" + file;
}

}  // namespace tollivane::frontend::sim
