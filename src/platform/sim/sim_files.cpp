#include "platform/sim/sim_files.hpp"

#include <algorithm>

namespace tollivane::platform::sim {

SimFiles::SimFiles(std::string folder, std::unique_ptr<Files> host, char hostSeparator)
    : folder_(std::move(folder)), host_(std::move(host)), hostSeparator_(hostSeparator) {}

std::string SimFiles::settingsFile(std::string_view fileName) {
  // No program folder: the host must not guess one either.
  if (folder_.empty()) return folder_;
  std::string file = host_->settingsFile(fileName);
  if (file.size() < fileName.size()) return file;
  std::string folder = file.substr(0, file.size() - fileName.size());
  if (folder == folder_ || folder == folder_ + hostSeparator_) {
    folder = folder_;
    if (folder.back() != '/') folder += '/';
  } else {
    // The user's folder in the simulation's form, whose separator is '/' on every host;
    // Windows takes either.
    std::replace(folder.begin(), folder.end(), hostSeparator_, '/');
  }
  return folder.append(fileName);
}

bool SimFiles::fileExists(const std::string& path) { return host_->fileExists(path); }

std::optional<std::string> SimFiles::readFile(const std::string& path) {
  return host_->readFile(path);
}

std::string SimFiles::updateFile(const std::string& path, const FileEdit& edit) {
  // An update that changes nothing writes nothing, so it cannot fail.
  if (!saveFailure_.empty()) {
    return edit(host_->readFile(path)) ? saveFailure_ : "";
  }
  return host_->updateFile(path, edit);
}

}  // namespace tollivane::platform::sim
