// UTF-8 inside the program, UTF-16 at the Windows API.
#pragma once

#include <string>
#include <string_view>

namespace tollivane::platform::win32 {

// Invalid UTF-8 becomes U+FFFD rather than failing: a path we cannot spell cannot be opened.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// A path as the file functions take it: absolute, in the "\\?\" form that lifts the MAX_PATH
// limit (which needs backslashes only); an empty one as it is.
std::wstring apiPath(const std::string& path);

// The system's own words for an error code (FormatMessageW), without the trailing line end;
// "Error N" when the system has none.
std::string systemMessage(unsigned long error);

}  // namespace tollivane::platform::win32
