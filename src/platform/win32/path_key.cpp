#include "platform/win32/path_key.hpp"

#include <windows.h>

#include <cstdint>
#include <cwchar>

#include "platform/win32/wide_text.hpp"

namespace tollivane::platform::win32 {

std::wstring objectNameFor(const std::wstring& prefix, const std::string& path) {
  std::wstring name = widen(path);
  const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (size > 0) {
    std::wstring full(size, L'\0');
    full.resize(GetFullPathNameW(name.c_str(), size, full.data(), nullptr));
    name = full;
  }
  const auto slash = name.find_last_of(L"\\/");
  const HANDLE folder =
      slash == std::wstring::npos
          ? INVALID_HANDLE_VALUE
          : CreateFileW(name.substr(0, slash + 1).c_str(), 0,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder != INVALID_HANDLE_VALUE) {
    std::wstring final(32768, L'\0');
    const DWORD length =
        GetFinalPathNameByHandleW(folder, final.data(), static_cast<DWORD>(final.size()), 0);
    CloseHandle(folder);
    if (length > 0 && length < final.size()) {
      final.resize(length);
      if (!final.ends_with(L'\\')) final += L'\\';
      name = final + name.substr(slash + 1);
    }
  }
  CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
  std::uint64_t hash = 14695981039346656037u;  // FNV-1a: a clash only makes two files wait
  for (const wchar_t c : name) hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211u;
  wchar_t hex[17];
  swprintf(hex, 17, L"%016llx", static_cast<unsigned long long>(hash));
  return prefix + hex;
}

}  // namespace tollivane::platform::win32
