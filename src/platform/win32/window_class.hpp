// Registering the window classes of our own windows, and finding a window's owner object from
// its procedure.
#pragma once

#include <windows.h>

namespace tollivane::platform::win32 {

// Registers `name` for `procedure` once per process: the class outlives any one window, and
// tests make several. True when the class is there to use.
bool registerWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure);

// Registers `name` once per process as the system's control class `base` with `procedure` in
// front of the base's own, from the window's first message on. The base's procedure, for
// `procedure` to hand on to, or nullptr when the class could not be made.
WNDPROC registerSuperclass(HINSTANCE instance, const wchar_t* base, const wchar_t* name,
                           WNDPROC procedure);

// The object a window was created for (CreateWindowExW's last argument), as the window
// procedure sees it: bound at WM_NCCREATE, before any later message; nullptr before that.
template <typename Owner>
Owner* windowOwner(HWND window, UINT message, LPARAM l) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace tollivane::platform::win32
