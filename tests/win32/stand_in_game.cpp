// A stand-in for the game: a black 640 x 480 window that takes the focus and repaints itself
// every second, as a game redraws its screen. Ends after ten minutes or when closed.
#include <windows.h>

namespace {

LRESULT CALLBACK gameProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_TIMER:
      if (w == 2) PostQuitMessage(0);
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, w, l);
  }
}

}  // namespace

int main() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = gameProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = L"TollivaneStandInGame";
  RegisterClassW(&windowClass);
  HWND window =
      CreateWindowExW(0, windowClass.lpszClassName, L"Stand-in game", WS_POPUP | WS_VISIBLE, 0, 0,
                      640, 480, nullptr, nullptr, windowClass.hInstance, nullptr);
  SetForegroundWindow(window);
  SetTimer(window, 1, 1000, nullptr);
  SetTimer(window, 2, 600000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
