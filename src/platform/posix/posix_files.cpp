#include "platform/posix/posix_files.hpp"

#include "platform/posix/atomic_update.hpp"
#include "platform/posix/program_folder.hpp"
#include "platform/posix/settings_location.hpp"
#include "platform/posix/whole_file_read.hpp"

namespace tollivane::platform::posix {

std::string PosixFiles::programFolder() const {
  return folder_.empty() ? executableFolder() : folder_;
}

std::string PosixFiles::settingsFile(std::string_view fileName) {
  // A program that cannot find its own folder cannot tell whether it is installed either.
  const std::string program = programFolder();
  if (program.empty()) return program;
  // Only a question: what saves killed mid-write left behind goes at the next save.
  std::string folder = settingsFolderFor(program, fileName);
  if (folder.back() != '/') folder += '/';
  return folder.append(fileName);
}

bool PosixFiles::fileExists(const std::string& path) { return isFile(path); }

std::optional<std::string> PosixFiles::readFile(const std::string& path) {
  return readWholeFile(path);
}

// The user's configuration folder may not exist before the first save: made on the one walk
// that the update takes to the file.
std::string PosixFiles::replaceFile(const std::string& path, std::string_view bytes) {
  return replaceFileAtomically(path, bytes, MissingFolders::Make);
}

std::string PosixFiles::updateFile(const std::string& path, const FileEdit& edit) {
  return updateFileAtomically(path, edit, MissingFolders::Make);
}

}  // namespace tollivane::platform::posix
