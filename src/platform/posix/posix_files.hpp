// The program's folder and files on POSIX systems, as the logic asks for them.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.hpp"

namespace tollivane::platform::posix {

class PosixFiles final : public Files {
 public:
  // `folder`: the program folder to use; empty for the executable's own folder.
  explicit PosixFiles(std::string folder = {}) : folder_(std::move(folder)) {}

  // Beside the program for a portable copy, else in the user's configuration folder
  // (settings_location.hpp).
  std::string settingsFile(std::string_view fileName) override;
  bool fileExists(const std::string& path) override;
  std::optional<std::string> readFile(const std::string& path) override;
  // Other Tollivane processes' updates held off by a lock beside the file (update_lock.hpp).
  std::string updateFile(const std::string& path, const FileEdit& edit) override;

  // Ours: the folder given, or the executable's own (empty when it cannot be found).
  std::string programFolder() const;
  // The file's bytes replaced as updateFile replaces them, whatever it held.
  std::string replaceFile(const std::string& path, std::string_view bytes);

 private:
  std::string folder_;
};

}  // namespace tollivane::platform::posix
