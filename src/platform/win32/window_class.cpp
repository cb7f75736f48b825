#include "platform/win32/window_class.hpp"

namespace tollivane::platform::win32 {

bool registerWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = name;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

WNDPROC registerSuperclass(HINSTANCE instance, const wchar_t* base, const wchar_t* name,
                           WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (!GetClassInfoExW(nullptr, base, &windowClass)) return nullptr;
  const WNDPROC baseProcedure = windowClass.lpfnWndProc;
  windowClass.style &= ~CS_GLOBALCLASS;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = name;
  const bool made =
      RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return made ? baseProcedure : nullptr;
}

}  // namespace tollivane::platform::win32
