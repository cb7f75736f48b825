#include "platform/posix/posix_file_system.hpp"

#include "platform/posix/posix_files.hpp"
#include "platform/posix/settings_location.hpp"

namespace tollivane::platform::posix {

std::string PosixFiles::programFolder() { return folder_.empty() ? executableFolder() : folder_; }

std::string PosixFiles::settingsFolder(std::string_view fileName) {
  return settingsFolderFor(programFolder(), fileName);
}

bool PosixFiles::fileExists(const std::string& path) { return isFile(path); }

std::optional<std::string> PosixFiles::readFile(const std::string& path) {
  return readWholeFile(path);
}

std::string PosixFiles::replaceFile(const std::string& path, std::string_view bytes) {
  const auto slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0) {
    if (std::string reason = makeFolders(path.substr(0, slash)); !reason.empty()) return reason;
  }
  return replaceFileAtomically(path, bytes);
}

}  // namespace tollivane::platform::posix
