// Names of the system objects that stand for one file, such as the lock of its updates.
#pragma once

#include <string>

namespace tollivane::platform::win32 {

// `prefix` followed by a key of the file's path that is the same for every spelling of it
// that the system resolves to one file: its folder's final path (links, short names and
// drive substitutes followed), in one letter case, hashed. For the session's namespace
// ("Local\\..."), so other users' programs never share it.
std::wstring objectNameFor(const std::wstring& prefix, const std::string& path);

}  // namespace tollivane::platform::win32
