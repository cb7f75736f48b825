#include "frontend/win32/capture_box.hpp"

#include <commctrl.h>

#include "common/virtual_keys.hpp"

namespace tollivane::frontend::win32 {
namespace {

struct Handlers {
  KeyDownHandler onKeyDown;
  FocusHandler onFocus;
};

LRESULT CALLBACK captureProc(HWND edit, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                             DWORD_PTR data) {
  auto* handlers = reinterpret_cast<Handlers*>(data);
  switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      handlers->onFocus(message == WM_SETFOCUS);
      break;
    case WM_GETDLGCODE:
      // Every key is ours: no focus move, default or cancel button takes it.
      return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      handlers->onKeyDown(static_cast<std::int16_t>(w & 0xFF), modifierMask());
      return 0;
    // Key releases too, or releasing Alt or F10 would open the menu.
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_DEADCHAR:
    case WM_SYSDEADCHAR:
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_CONTEXTMENU:
    case WM_DROPFILES:
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(edit, captureProc, 1);
      delete handlers;
      break;
    default:
      break;
  }
  return DefSubclassProc(edit, message, w, l);
}

}  // namespace

std::int16_t modifierMask() {
  std::int16_t mask = 0;
  if (GetKeyState(VK_SHIFT) < 0) mask |= vk::kShiftBit;
  if (GetKeyState(VK_CONTROL) < 0) mask |= vk::kControlBit;
  if (GetKeyState(VK_MENU) < 0) mask |= vk::kAltBit;
  return mask;
}

void makeCaptureBox(HWND edit, KeyDownHandler onKeyDown, FocusHandler onFocus) {
  SetWindowSubclass(
      edit, captureProc, 1,
      reinterpret_cast<DWORD_PTR>(new Handlers{std::move(onKeyDown), std::move(onFocus)}));
}

}  // namespace tollivane::frontend::win32
