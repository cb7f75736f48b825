// A file handle closed when it goes, and the patience with files another program holds.
#pragma once

#include <windows.h>

namespace tollivane::platform::win32 {

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  // Closes now, so that a late write error can be reported.
  bool close() {
    const BOOL closed = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return closed != 0;
  }

 private:
  HANDLE handle_;
};

// A reader or a scanner that holds the file without sharing it keeps us out for a moment: such
// errors are worth another try, for this long, before the save is refused with the reason.
inline constexpr ULONGLONG kBusyFor = 5000;

inline bool busy(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

// Calls `attempt` until it succeeds, fails for good, or the file stays busy past kBusyFor;
// returns its last error (0 on success).
template <class Attempt>
DWORD whileBusy(Attempt attempt) {
  const ULONGLONG until = GetTickCount64() + kBusyFor;
  DWORD pause = 5;
  for (;;) {
    const DWORD error = attempt();
    if (error == 0 || !busy(error) || GetTickCount64() >= until) return error;
    Sleep(pause);
    pause = pause < 100 ? pause * 2 : 100;
  }
}

}  // namespace tollivane::platform::win32
