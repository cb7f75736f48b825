#include "frontend/win32/standard_error.hpp"

#include <windows.h>

namespace tollivane::frontend::win32 {

void sayOnStandardError(const std::string& line) {
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if ((error == nullptr || error == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
    error = GetStdHandle(STD_ERROR_HANDLE);
  }
  if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(error, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace tollivane::frontend::win32
