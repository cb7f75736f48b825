#include "platform/win32/win32_files.hpp"

#include <windows.h>

#include "platform/win32/path_key.hpp"
#include "platform/win32/settings_location.hpp"
#include "platform/win32/wide_text.hpp"

namespace tollivane::platform::win32 {
namespace {

// "\\?\" lifts the MAX_PATH limit; it needs an absolute path with backslashes only.
std::wstring apiPath(const std::string& path) {
  std::wstring wide = widen(path);
  if (wide.empty() || wide.starts_with(LR"(\\?\)")) return wide;
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return wide;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  full.resize(length);
  if (full.starts_with(LR"(\\)")) return LR"(\\?\UNC\)" + full.substr(2);
  return LR"(\\?\)" + full;
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  // Closes now, so that a late write error can be reported.
  bool close() {
    const BOOL closed = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return closed != 0;
  }

 private:
  HANDLE handle_;
};

// A reader or a scanner that holds the file without sharing it keeps us out for a moment: such
// errors are worth another try, for this long, before the save is refused with the reason.
constexpr ULONGLONG kBusyFor = 5000;

bool busy(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

// Calls `attempt` until it succeeds, fails for good, or the file stays busy past kBusyFor;
// returns its last error (0 on success).
template <class Attempt>
DWORD whileBusy(Attempt attempt) {
  const ULONGLONG until = GetTickCount64() + kBusyFor;
  DWORD pause = 5;
  for (;;) {
    const DWORD error = attempt();
    if (error == 0 || !busy(error) || GetTickCount64() >= until) return error;
    Sleep(pause);
    pause = pause < 100 ? pause * 2 : 100;
  }
}

// Held for one update: other Tollivanes of this session updating the same file wait for it.
// Nothing stays on disk, and the system frees it when its holder dies, however it dies.
class UpdateLock {
 public:
  explicit UpdateLock(const std::string& path)
      : mutex_(CreateMutexW(nullptr, FALSE,
                            objectNameFor(L"Local\\Tollivane-update-", path).c_str())) {
    if (!mutex_) return;
    // An abandoned mutex is ours now: the dead holder's replace was atomic, so the file is whole.
    const DWORD waited = WaitForSingleObject(mutex_, kWaitFor);
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
  }
  UpdateLock(const UpdateLock&) = delete;
  UpdateLock& operator=(const UpdateLock&) = delete;
  ~UpdateLock() {
    if (held_) ReleaseMutex(mutex_);
    if (mutex_) CloseHandle(mutex_);
  }
  // False only when another Tollivane held the file for all of kWaitFor. Without a mutex at all
  // (none may be made) the update goes ahead as it would without other programs.
  bool timedOut() const { return mutex_ && !held_; }

 private:
  // Far beyond any update, which takes milliseconds, or kBusyFor at worst.
  static constexpr DWORD kWaitFor = 30000;
  HANDLE mutex_;
  bool held_ = false;
};

bool writeAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 1u << 30 ? 1u << 30 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

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

std::string folderOfProgram(std::wstring program) {
  // "\\?\UNC\server\share\..." is "\\server\share\..."; "\\?\C:\..." is "C:\...".
  if (program.starts_with(LR"(\\?\UNC\)")) {
    program.replace(0, 8, LR"(\\)");
  } else if (program.starts_with(LR"(\\?\)")) {
    program.erase(0, 4);
  }
  const auto slash = program.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  // At a drive's root the folder keeps its backslash: "C:\".
  const bool root = slash == 2 && program[1] == L':';
  return narrow(program.substr(0, root ? slash + 1 : slash));
}

std::string executableFolder() {
  std::wstring program(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
    if (length == 0) return {};
    if (length < program.size()) {
      program.resize(length);
      break;
    }
    program.resize(program.size() * 2);
  }
  return folderOfProgram(std::move(program));
}

bool isFile(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(apiPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

namespace {

const std::string kTooLarge = "is larger than " + std::to_string(kMaxFileSize >> 20) + " MiB";
const std::string kWouldBeTooLarge =
    "would be larger than " + std::to_string(kMaxFileSize >> 20) + " MiB";
const std::string kFolder = "is a folder, not a regular file";

// Reads a regular file of at most kMaxFileSize bytes, in Linux's words when it is anything
// else. `contents` stays empty when there is no such file. Returns "" or the reason.
std::string readRegular(const std::wstring& target, std::optional<std::string>& contents) {
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? std::string()
                                                                          : systemMessage(error);
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return kFolder;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return "is a device, not a regular file";
  HANDLE opened = INVALID_HANDLE_VALUE;
  // Busy means held without sharing by another program: it is there, so wait for it.
  const DWORD error = whileBusy([&] {
    opened = CreateFileW(target.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return opened == INVALID_HANDLE_VALUE ? GetLastError() : 0;
  });
  Handle file(opened);
  if (!file.valid()) return "the existing file cannot be read (" + systemMessage(error) + ")";
  // What was opened, not what the name was: a name may lead to a device or a pipe.
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return "is a device, not a regular file";
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.get(), &size) && static_cast<ULONGLONG>(size.QuadPart) > kMaxFileSize) {
    return kTooLarge;
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
      return "the existing file cannot be read (" + systemMessage(GetLastError()) + ")";
    }
    if (got == 0) break;
    // A file that grows while it is read, or one whose size the system does not know.
    if (bytes.size() + got > kMaxFileSize) return kTooLarge;
    bytes.append(buffer, got);
  }
  contents = std::move(bytes);
  return {};
}

}  // namespace

std::optional<std::string> readWholeFile(const std::string& path) {
  std::optional<std::string> contents;
  if (!readRegular(apiPath(path), contents).empty()) return std::nullopt;
  return contents;
}

std::string replaceFileAtomically(const std::string& path, std::string_view bytes) {
  // Every later read would refuse the file, and so every later save.
  if (bytes.size() > kMaxFileSize) return kWouldBeTooLarge;
  const std::wstring target = apiPath(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return kFolder;
    if (attributes & FILE_ATTRIBUTE_DEVICE) return "is a device, not a regular file";
    // A move needs only the folder's permission: honour the user's read-only mark.
    if (attributes & FILE_ATTRIBUTE_READONLY) return systemMessage(ERROR_ACCESS_DENIED);
  }

  const auto slash = target.find_last_of(L'\\');
  const std::wstring folder = target.substr(0, slash + 1);
  std::wstring temporary;
  HANDLE created = INVALID_HANDLE_VALUE;
  // Unique among writers of this folder: our process id and a counter.
  for (unsigned attempt = 0; created == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
    temporary = folder + L"~" + target.substr(slash + 1) + L"." +
                std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(attempt) + L".tmp";
    created = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (created == INVALID_HANDLE_VALUE) return systemMessage(GetLastError());
  Handle file(created);

  const auto fail = [&](DWORD cause) {
    if (file.valid()) file.close();
    DeleteFileW(temporary.c_str());
    return systemMessage(cause);
  };
  if (!writeAll(file.get(), bytes)) return fail(GetLastError());
  if (!FlushFileBuffers(file.get())) return fail(GetLastError());
  if (!file.close()) return fail(GetLastError());
  // An existing file keeps its attributes (hidden, for one): copy them to the new one.
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    SetFileAttributesW(
        temporary.c_str(),
        attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
  }
  const DWORD moved = whileBusy([&] {
    return MoveFileExW(temporary.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : GetLastError();
  });
  return moved == 0 ? std::string() : fail(moved);
}

std::string updateFileAtomically(const std::string& path, const Files::FileEdit& edit) {
  const UpdateLock lock(path);
  if (lock.timedOut()) return "another Tollivane kept the file busy; nothing was saved";
  std::optional<std::string> current;
  if (std::string reason = readRegular(apiPath(path), current); !reason.empty()) return reason;
  const auto updated = edit(current);
  return updated ? replaceFileAtomically(path, *updated) : std::string();
}

}  // namespace tollivane::platform::win32
