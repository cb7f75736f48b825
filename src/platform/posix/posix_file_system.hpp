// The program's folder and files on POSIX systems, as the logic asks for them.
#pragma once

#include <string>

#include "platform/platform.hpp"

namespace tollivane::platform::posix {

class PosixFiles final : public Files {
 public:
  // `folder`: the program folder to use; empty for the executable's own folder.
  explicit PosixFiles(std::string folder = {}) : folder_(std::move(folder)) {}

  std::string programFolder() override;
  // Beside the program for a portable copy, else the user's configuration folder
  // (settings_location.hpp). Also removes the stale temporaries of killed saves there.
  std::string settingsFolder(std::string_view fileName) override;
  char pathSeparator() const override { return '/'; }
  bool fileExists(const std::string& path) override;
  std::optional<std::string> readFile(const std::string& path) override;
  // Creates the file's folder first when it is missing: the configuration folder comes into
  // being with the first save.
  std::string replaceFile(const std::string& path, std::string_view bytes) override;
  // Other Tollivane processes' updates held off by a lock on the file's folder.
  std::string updateFile(const std::string& path, const FileEdit& edit) override;

 private:
  std::string folder_;
};

}  // namespace tollivane::platform::posix
