#include "platform/win32/win32_files.hpp"

#include <windows.h>

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

std::string Win32Files::programFolder() { return folder_.empty() ? executableFolder() : folder_; }

bool Win32Files::fileExists(const std::string& path) { return isFile(path); }

std::optional<std::string> Win32Files::readFile(const std::string& path) {
  return readWholeFile(path);
}

std::string Win32Files::replaceFile(const std::string& path, std::string_view bytes) {
  return replaceFileAtomically(path, bytes);
}

std::string Win32Files::settingsFolder(std::string_view) { return programFolder(); }

std::string Win32Files::updateFile(const std::string& path, const FileEdit& edit) {
  const auto current = readWholeFile(path);
  if (!current && isFile(path)) return "the existing file cannot be read";
  const auto updated = edit(current);
  return updated ? replaceFileAtomically(path, *updated) : std::string();
}

std::string executableFolder() {
  std::wstring program(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
    if (length == 0) return ".";
    if (length < program.size()) {
      program.resize(length);
      break;
    }
    program.resize(program.size() * 2);
  }
  if (program.starts_with(LR"(\\?\)")) program.erase(0, 4);
  const auto slash = program.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return ".";
  // At a drive's root the folder keeps its backslash: "C:\".
  const bool root = slash == 2 && program[1] == L':';
  return narrow(program.substr(0, root ? slash + 1 : slash));
}

bool isFile(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(apiPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<std::string> readWholeFile(const std::string& path) {
  Handle file(CreateFileW(apiPath(path).c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  std::string contents;
  char buffer[8192];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
    if (got == 0) return contents;
    contents.append(buffer, got);
  }
}

std::string replaceFileAtomically(const std::string& path, std::string_view bytes) {
  const std::wstring target = apiPath(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return systemMessage(ERROR_ACCESS_DENIED);
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
  if (!MoveFileExW(temporary.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return fail(GetLastError());
  }
  return {};
}

}  // namespace tollivane::platform::win32
