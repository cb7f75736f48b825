// A stand-in for the game: a black 640 x 480 window that takes the focus and repaints itself
// every second, as a game redraws its screen. Ends after ten minutes or when closed.
#include <windows.h>

#include "win32/stand_in_window.hpp"

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
  tollivane::tests::StandInLook look;
  look.procedure = gameProc;
  HWND window = tollivane::tests::openStandInGame(look);
  SetTimer(window, 1, 1000, nullptr);
  SetTimer(window, 2, 600000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
