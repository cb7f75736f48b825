// The program's folder and files on Windows. Paths are UTF-8 here and UTF-16 at the API, with
// no MAX_PATH limit, so the folder may be named in any script and lie as deep as the system
// allows.
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

  std::string programFolder() override;
  // Beside the program.
  std::string settingsFolder(std::string_view fileName) override;
  char pathSeparator() const override { return '\\'; }
  bool fileExists(const std::string& path) override;
  std::optional<std::string> readFile(const std::string& path) override;
  std::string replaceFile(const std::string& path, std::string_view bytes) override;
  // Re-reads, edits and replaces; nothing yet holds another process's update off in between.
  std::string updateFile(const std::string& path, const FileEdit& edit) override;

 private:
  std::string folder_;
};

// The folder holding the running program, without a trailing '\' except at a drive's root.
std::string executableFolder();

// True when the path names a file; hidden and system files count, folders do not.
bool isFile(const std::string& path);

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::string> readWholeFile(const std::string& path);

// Replaces the file so that no reader sees it torn or empty: a temporary file beside it,
// written and flushed, then moved over it with write-through. A read-only file is refused,
// as Windows refuses to write it. Returns "" on success, otherwise the system's reason; on
// failure the target is unchanged and no temporary file remains.
std::string replaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace tollivane::platform::win32
