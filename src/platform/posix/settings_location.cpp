#include "platform/posix/settings_location.hpp"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/posix/path_walk.hpp"
#include "platform/posix/whole_file_read.hpp"

namespace tollivane::platform::posix {
namespace {

// What the install rules put in PREFIX/share/applications.
constexpr std::string_view kDesktopEntry = TOLLIVANE_DESKTOP_ENTRY;

std::string homeFromPasswordDatabase() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr || found->pw_dir == nullptr) {
    return {};
  }
  return found->pw_dir;
}

// Whether the effective user may create files in `folder`, however long its path.
bool mayWriteIn(const std::string& folder) {
  std::string reason;
  const auto at = walkTo(folder + "/", MissingFolders::Fail, reason);
  return at && ::faccessat(at->folder.get(), ".", W_OK | X_OK, AT_EACCESS) == 0;
}

}  // namespace

std::string chooseSettingsFolder(const std::string& programFolder, const ProgramFolderFacts& facts,
                                 const std::string& configFolder) {
  if (facts.holdsSettingsFile || (facts.writable && !facts.installed) || configFolder.empty()) {
    return programFolder;
  }
  return configFolder + (configFolder.back() == '/' ? "tollivane" : "/tollivane");
}

std::string userConfigFolder(const char* xdgConfigHome, const char* home) {
  if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') return xdgConfigHome;
  if (home == nullptr || home[0] != '/') return {};
  std::string folder = home;
  if (folder.back() != '/') folder += '/';
  return folder + ".config";
}

bool isInstalledFolder(const std::string& folder, std::string_view desktopEntry) {
  if (!folder.ends_with("/bin")) return false;
  const std::string prefix = folder.substr(0, folder.size() - 3);
  return isFile(prefix + "share/applications/" + std::string(desktopEntry));
}

std::string settingsFolderFor(const std::string& programFolder, std::string_view fileName) {
  std::string beside = programFolder;
  if (beside.empty() || beside.back() != '/') beside += '/';
  beside += fileName;
  const ProgramFolderFacts facts{
      .holdsSettingsFile = isFile(beside),
      .writable = mayWriteIn(programFolder),
      // Root may write to /usr/bin: being writable does not make an installed program portable.
      .installed = isInstalledFolder(programFolder, kDesktopEntry),
  };
  const char* home = std::getenv("HOME");
  const std::string homeFolder =
      (home != nullptr && home[0] != '\0') ? std::string(home) : homeFromPasswordDatabase();
  const std::string config = userConfigFolder(std::getenv("XDG_CONFIG_HOME"), homeFolder.c_str());
  return chooseSettingsFolder(programFolder, facts, config);
}

}  // namespace tollivane::platform::posix
