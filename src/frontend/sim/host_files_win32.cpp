#include <windows.h>

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "frontend/sim/host_files.hpp"
#include "platform/win32/wide_text.hpp"
#include "platform/win32/win32_files.hpp"

namespace tollivane::frontend::sim {

std::unique_ptr<platform::Files> hostFiles(const std::string& folder) {
  return std::make_unique<platform::win32::Win32Files>(folder);
}

const char kHostSeparator = '\\';

std::string makeTemporaryFolder() {
  wchar_t base[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, base);
  if (length == 0 || length > MAX_PATH) throw std::runtime_error("no temporary folder");
  // CreateDirectory fails on a name already taken, so a clash only costs another try.
  for (unsigned attempt = 0; attempt < 1000; ++attempt) {
    const std::wstring folder = std::wstring(base, length) + L"tollivane-sim-" +
                                std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(GetTickCount() + attempt);
    if (CreateDirectoryW(folder.c_str(), nullptr)) return platform::win32::narrow(folder);
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  throw std::runtime_error("cannot make a folder in " +
                           platform::win32::narrow(std::wstring(base, length)));
}

void removeFolder(const std::string& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(platform::win32::widen(folder)), ignored);
}

}  // namespace tollivane::frontend::sim
