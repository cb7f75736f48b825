// Windows 11 may slow a process whose windows are hidden behind a game (power throttling: a
// slower processor state, timer resolution requests ignored); Tollivane's two timers are its
// whole function, so it asks not to be.
#pragma once

#include <windows.h>

namespace tollivane::platform::win32 {

// The shape of kernel32's SetProcessInformation (Windows 8 and later).
using SetProcessInformationCall = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);

// Opts this process out of execution-speed and timer-resolution throttling through
// `setInformation` (null where the system has no such call); a system that knows only the
// first is asked for that alone. Returns whether a request was taken.
bool optOutOfPowerThrottling(SetProcessInformationCall setInformation);

// The same through the system's own call, looked up at run time so that a Windows without it
// still starts.
bool optOutOfPowerThrottling();

}  // namespace tollivane::platform::win32
