#include "frontend/sim/sim_desktop.hpp"

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

SimDesktop::SimDesktop(std::optional<std::string> folder)
    : folder_(folder ? folderText(std::move(*folder)) : makeTemporaryFolder()),
      ownsFolder_(!folder),
      machine_(folder_, hostFiles(folder_), kHostSeparator),
      mainWindow_(ui::mainWindowLayout(), machine_.clock()),
      aboutWindow_(ui::aboutWindowLayout(), machine_.clock()),
      dialogs_(machine_.clock(), aboutWindow_),
      mainControls_(bindMainWindow()) {}

app::MainWindowControls SimDesktop::bindMainWindow() {
  SimControlLookup lookup(mainWindow_);
  return app::bindMainWindow(lookup, mainWindow_.timers());
}

SimDesktop::~SimDesktop() {
  if (ownsFolder_) {
    removeFolder(folder_);
  }
}

std::string SimDesktop::settingsFile() const {
  const std::string file(settings::kSettingsFileName);
  return folder_ == "/" ? "/" + file : folder_ + "/" + file;
}

}  // namespace tollivane::frontend::sim
