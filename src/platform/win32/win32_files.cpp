#include "platform/win32/win32_files.hpp"

#include "platform/win32/atomic_update.hpp"
#include "platform/win32/program_folder.hpp"
#include "platform/win32/settings_location.hpp"
#include "platform/win32/whole_file_read.hpp"

namespace tollivane::platform::win32 {

std::string Win32Files::programFolder() const {
  return folder_.empty() ? executableFolder() : folder_;
}

std::string Win32Files::settingsFile(std::string_view fileName) {
  // A program that cannot find its own folder has no settings file at all.
  const std::string program = programFolder();
  if (program.empty()) return program;
  std::string folder = settingsFolderFor(program, fileName);
  if (folder.back() != '\\') folder += '\\';
  return folder.append(fileName);
}

bool Win32Files::fileExists(const std::string& path) { return isFile(path); }

std::optional<std::string> Win32Files::readFile(const std::string& path) {
  return readWholeFile(path);
}

namespace {

// The folder in the user's application data may not exist before the first save.
std::string makeFolderOf(const std::string& path) {
  const auto slash = path.find_last_of("\\/");
  return slash != std::string::npos && slash > 0 ? makeFolders(path.substr(0, slash)) : "";
}

}  // namespace

std::string Win32Files::replaceFile(const std::string& path, std::string_view bytes) {
  if (std::string reason = makeFolderOf(path); !reason.empty()) return reason;
  return replaceFileAtomically(path, bytes);
}

std::string Win32Files::updateFile(const std::string& path, const FileEdit& edit) {
  if (std::string reason = makeFolderOf(path); !reason.empty()) return reason;
  return updateFileAtomically(path, edit);
}

}  // namespace tollivane::platform::win32
