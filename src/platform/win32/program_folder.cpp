#include "platform/win32/program_folder.hpp"

#include <windows.h>

#include "platform/win32/wide_text.hpp"

namespace tollivane::platform::win32 {

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

}  // namespace tollivane::platform::win32
