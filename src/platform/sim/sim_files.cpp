#include "platform/sim/sim_files.hpp"

#include <algorithm>

namespace tollivane::platform::sim {

SimFiles::SimFiles(std::string folder, std::unique_ptr<Files> host)
    : folder_(std::move(folder)), host_(std::move(host)) {}

std::string SimFiles::settingsFolder(std::string_view fileName) {
  // No program folder: the host must not guess one either.
  if (folder_.empty()) return folder_;
  std::string folder = host_->settingsFolder(fileName);
  if (folder == folder_) return folder;
  // The user's folder in the simulation's form, whose separator is '/' on every host; Windows
  // takes either.
  std::replace(folder.begin(), folder.end(), host_->pathSeparator(), '/');
  return folder;
}

bool SimFiles::fileExists(const std::string& path) { return host_->fileExists(path); }

std::optional<std::string> SimFiles::readFile(const std::string& path) {
  return host_->readFile(path);
}

std::string SimFiles::replaceFile(const std::string& path, std::string_view bytes) {
  if (!saveFailure_.empty()) return saveFailure_;
  return host_->replaceFile(path, bytes);
}

std::string SimFiles::updateFile(const std::string& path, const FileEdit& edit) {
  // An update that changes nothing writes nothing, so it cannot fail.
  if (!saveFailure_.empty()) {
    return edit(host_->readFile(path)) ? saveFailure_ : "";
  }
  return host_->updateFile(path, edit);
}

}  // namespace tollivane::platform::sim
