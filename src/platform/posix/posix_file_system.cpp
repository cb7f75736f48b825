#include "platform/posix/posix_file_system.hpp"

#include "platform/posix/posix_files.hpp"

namespace tollivane::platform::posix {

std::string PosixFiles::programFolder() { return folder_.empty() ? executableFolder() : folder_; }

bool PosixFiles::fileExists(const std::string& path) { return isFile(path); }

std::optional<std::string> PosixFiles::readFile(const std::string& path) {
  return readWholeFile(path);
}

std::string PosixFiles::replaceFile(const std::string& path, std::string_view bytes) {
  return replaceFileAtomically(path, bytes);
}

std::string PosixFiles::updateFile(const std::string& path, const FileEdit& edit) {
  return updateFileAtomically(path, edit);
}

}  // namespace tollivane::platform::posix
