#include "platform/win32/elevated_front.hpp"

#include <windows.h>

namespace tollivane::platform::win32 {
namespace {

// A token that cannot be read is taken as not elevated: better to say nothing than wrongly.
bool elevated(HANDLE process) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return false;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  const bool yes =
      GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
      elevation.TokenIsElevated != 0;
  CloseHandle(token);
  return yes;
}

}  // namespace

bool frontWindowElevatedAboveUs() {
  static const bool ourselves = elevated(GetCurrentProcess());
  if (ourselves) return false;
  DWORD id = 0;
  if (HWND front = GetForegroundWindow(); front) GetWindowThreadProcessId(front, &id);
  if (id == 0 || id == GetCurrentProcessId()) return false;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (!process) return false;
  const bool yes = elevated(process);
  CloseHandle(process);
  return yes;
}

}  // namespace tollivane::platform::win32
