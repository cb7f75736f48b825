#include "platform/win32/settings_location.hpp"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include "platform/win32/whole_file_read.hpp"
#include "platform/win32/wide_text.hpp"

namespace tollivane::platform::win32 {
namespace {

bool isAbsolute(const std::wstring& path) {
  return (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) ||
         path.starts_with(LR"(\\)");
}

std::string join(const std::string& folder, std::string_view name) {
  std::string joined = folder;
  if (joined.empty() || (joined.back() != '\\' && joined.back() != '/')) joined += '\\';
  joined += name;
  return joined;
}

}  // namespace

std::string chooseSettingsFolder(const std::string& programFolder, const ProgramFolderFacts& facts,
                                 const std::string& appData) {
  if (facts.holdsSettingsFile || facts.writable || appData.empty()) return programFolder;
  return join(appData, "Tollivane");
}

std::string roamingAppData() {
  std::wstring value(32768, L'\0');
  const DWORD length =
      GetEnvironmentVariableW(L"APPDATA", value.data(), static_cast<DWORD>(value.size()));
  if (length > 0 && length < value.size()) {
    value.resize(length);
    if (isAbsolute(value)) return narrow(value);
  }
  PWSTR known = nullptr;
  std::string folder;
  if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known) == S_OK) {
    folder = narrow(known);
  }
  CoTaskMemFree(known);
  return folder;
}

bool canCreateFilesIn(const std::string& folder) {
  const std::wstring probe =
      widen(join(folder, "~Tollivane.") + std::to_string(GetCurrentProcessId()) + ".probe");
  const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  DeleteFileW(probe.c_str());
  return true;
}

std::string settingsFolderFor(const std::string& programFolder, std::string_view fileName) {
  const ProgramFolderFacts facts{
      .holdsSettingsFile = isFile(join(programFolder, fileName)),
      .writable = canCreateFilesIn(programFolder),
  };
  // Only looked for when it is needed.
  return chooseSettingsFolder(programFolder, facts,
                              facts.holdsSettingsFile || facts.writable ? "" : roamingAppData());
}

std::string makeFolders(const std::string& folder) {
  // In the form without MAX_PATH's limit, as the file itself is written: a portable copy may
  // lie deeper than that.
  const std::wstring wide = apiPath(folder);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? std::string() : systemMessage(ERROR_DIRECTORY);
  }
  const auto slash = folder.find_last_of("\\/");
  // Stops at a drive's root ("C:") and at a share's name.
  if (slash != std::string::npos && slash > 2 && folder[slash - 1] != ':') {
    if (std::string reason = makeFolders(folder.substr(0, slash)); !reason.empty()) {
      return reason;
    }
  }
  if (!CreateDirectoryW(wide.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    return systemMessage(GetLastError());
  }
  return {};
}

}  // namespace tollivane::platform::win32
