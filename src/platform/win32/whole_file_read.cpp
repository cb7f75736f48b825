#include "platform/win32/whole_file_read.hpp"

#include "platform/platform.hpp"
#include "platform/win32/file_handle.hpp"
#include "platform/win32/wide_text.hpp"

namespace tollivane::platform::win32 {
namespace {

const std::string kTooLarge = "is larger than " + std::to_string(kMaxFileSize >> 20) + " MiB";
const std::string kDevice = "is a device, not a regular file";

}  // namespace

std::string notRegular(DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "is a folder, not a regular file";
  if (attributes & FILE_ATTRIBUTE_DEVICE) return kDevice;
  return {};
}

bool isFile(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(apiPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string readRegular(const std::wstring& target, std::optional<std::string>& contents) {
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? std::string()
                                                                          : systemMessage(error);
  }
  if (std::string reason = notRegular(attributes); !reason.empty()) return reason;
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
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return kDevice;
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

std::optional<std::string> readWholeFile(const std::string& path) {
  std::optional<std::string> contents;
  if (!readRegular(apiPath(path), contents).empty()) return std::nullopt;
  return contents;
}

}  // namespace tollivane::platform::win32
