// Where the running program lies on Windows, as the system names its module.
#pragma once

#include <string>

namespace tollivane::platform::win32 {

// The folder holding the running program, without a trailing '\' except at a drive's root;
// empty when the system cannot tell.
std::string executableFolder();

// The folder of a program's path as GetModuleFileName gives it, in the same form; a path in
// the "\\?\" forms comes back in the ordinary one ("\\?\UNC\srv\share\x.exe" gives
// "\\srv\share"). Empty for a path without a folder.
std::string folderOfProgram(std::wstring program);

}  // namespace tollivane::platform::win32
