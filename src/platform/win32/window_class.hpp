// Registering the window classes of the adapters' own windows.
#pragma once

#include <windows.h>

namespace tollivane::platform::win32 {

// Registers `name` for `procedure` once per process: the class outlives any one window, and
// tests make several. True when the class is there to use.
bool registerWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure);

}  // namespace tollivane::platform::win32
