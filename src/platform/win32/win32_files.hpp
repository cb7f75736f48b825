// The program's folder and files on Windows, as the logic asks for them. Paths are UTF-8 here
// and UTF-16 at the API, with no MAX_PATH limit, so the folder may be named in any script and
// lie as deep as the system allows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.hpp"

namespace tollivane::platform::win32 {

class Win32Files final : public Files {
 public:
  // `folder`: the program folder to use; empty for the executable's own folder.
  explicit Win32Files(std::string folder = {}) : folder_(std::move(folder)) {}

  // Beside the program for a portable copy, else in the user's application data
  // (settings_location.hpp).
  std::string settingsFile(std::string_view fileName) override;
  bool fileExists(const std::string& path) override;
  std::optional<std::string> readFile(const std::string& path) override;
  std::string updateFile(const std::string& path, const FileEdit& edit) override;

  // Ours: the folder given, or the executable's own (empty when it cannot be found).
  std::string programFolder() const;
  // The file's bytes replaced as updateFile replaces them, whatever it held.
  std::string replaceFile(const std::string& path, std::string_view bytes);

 private:
  std::string folder_;
};

}  // namespace tollivane::platform::win32
