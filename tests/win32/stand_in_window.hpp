// The window that stands in for a game in the Windows tests and probes: borderless, of one
// colour, taken to the front as a game is. Each procedure gets a class of its own, registered
// once per process, so that tests can open as many as they like.
#pragma once

#include <windows.h>

#include <string>

namespace tollivane::tests {

struct StandInLook {
  RECT place{0, 0, 640, 480};  // left, top, width, height
  const wchar_t* title = L"Stand-in game";
  WNDPROC procedure = DefWindowProcW;
  HBRUSH background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));  // nullptr: none
  DWORD style = WS_POPUP | WS_VISIBLE;
  bool inFront = true;
  void* owner = nullptr;  // what the procedure finds at WM_NCCREATE
};

inline HWND openStandInGame(const StandInLook& look = {}) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const std::wstring name =
      L"TollivaneStandIn" + std::to_wstring(reinterpret_cast<UINT_PTR>(look.procedure));
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = look.procedure;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = look.background;
  windowClass.lpszClassName = name.c_str();
  RegisterClassW(&windowClass);  // already there from an earlier window: the same class
  const RECT& at = look.place;
  const HWND window = CreateWindowExW(0, name.c_str(), look.title, look.style, at.left, at.top,
                                      at.right, at.bottom, nullptr, nullptr, instance, look.owner);
  if (window == nullptr) return nullptr;
  if (look.inFront) {
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
  } else {
    ShowWindow(window, SW_SHOWNOACTIVATE);
  }
  UpdateWindow(window);
  return window;
}

// The screen catches up with a window of this thread as it waits for messages.
inline void settleScreen() {
  for (int tries = 0; tries < 4; ++tries) {
    Sleep(30);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
}

}  // namespace tollivane::tests
