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

// The folder holding the running program, without a trailing '\' except at a drive's root;
// empty when the system cannot tell.
std::string executableFolder();

// The folder of a program's path as GetModuleFileName gives it, in the same form; a path in
// the "\\?\" forms comes back in the ordinary one ("\\?\UNC\srv\share\x.exe" gives
// "\\srv\share"). Empty for a path without a folder.
std::string folderOfProgram(std::wstring program);

// True when the path names a file; hidden and system files count, folders do not.
bool isFile(const std::string& path);

// The whole file, or nothing when it cannot be opened or read, is no regular file or is larger
// than kMaxFileSize. A file another program holds without sharing it is waited for, a few
// seconds at most.
std::optional<std::string> readWholeFile(const std::string& path);

// Replaces the file so that no reader sees it torn or empty (bytes larger than kMaxFileSize,
// a folder and a device are refused, in Linux's words): a temporary file beside it,
// written and flushed, then moved over it with write-through. A read-only file is refused,
// as Windows refuses to write it. A target that a reader or scanner holds open is tried again
// for a few seconds. Returns "" on success, otherwise the system's reason; on failure the
// target is unchanged and no temporary file remains.
std::string replaceFileAtomically(const std::string& path, std::string_view bytes);

// Reads the file and replaces it as above with what `edit` makes of it, under a lock that
// other Tollivanes updating the same file in this session wait for, so that none of their
// updates is lost. Returns as replaceFileAtomically does; a file that is there but cannot be
// read is left alone.
std::string updateFileAtomically(const std::string& path, const Files::FileEdit& edit);

}  // namespace tollivane::platform::win32
