// Settings files on Windows read whole. Paths are UTF-8 here and UTF-16 at the API, with no
// MAX_PATH limit.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tollivane::platform::win32 {

// True when the path names a file; hidden and system files count, folders do not.
bool isFile(const std::string& path);

// The whole file, or nothing when it cannot be opened or read, is no regular file or is larger
// than kMaxFileSize. A file another program holds without sharing it is waited for, a few
// seconds at most.
std::optional<std::string> readWholeFile(const std::string& path);

// readWholeFile for a path in apiPath's form. `contents` stays empty when there is no such
// file. Returns "" or the reason, in Linux's words when it is no regular file.
std::string readRegular(const std::wstring& target, std::optional<std::string>& contents);

// Why a file of these attributes is neither read nor replaced, in Linux's words; "" for a
// regular file.
std::string notRegular(DWORD attributes);

}  // namespace tollivane::platform::win32
