#include "frontend/win32/capture_box.hpp"

#include "common/virtual_keys.hpp"
#include "platform/win32/window_class.hpp"

namespace tollivane::frontend::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TollivaneCaptureBox";
WNDPROC editProc = nullptr;  // the system's, behind ours

WORD modifierMask() {
  WORD mask = 0;
  if (GetKeyState(VK_SHIFT) < 0) mask |= vk::kShiftBit;
  if (GetKeyState(VK_CONTROL) < 0) mask |= vk::kControlBit;
  if (GetKeyState(VK_MENU) < 0) mask |= vk::kAltBit;
  return mask;
}

LRESULT CALLBACK captureProc(HWND box, UINT message, WPARAM w, LPARAM l) {
  const auto tell = [box](UINT what, WPARAM detail) {
    SendMessageW(GetParent(box), what, detail, reinterpret_cast<LPARAM>(box));
  };
  switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      tell(kCaptureFocus, message == WM_SETFOCUS);
      break;
    case WM_GETDLGCODE:
      // Every key is ours: no focus move, default or cancel button takes it.
      return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      tell(kCaptureKeyDown, MAKEWPARAM(w & 0xFF, modifierMask()));
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
    default:
      break;
  }
  return CallWindowProcW(editProc, box, message, w, l);
}

}  // namespace

const wchar_t* captureBoxClass() {
  static const bool registered =
      (editProc = platform::win32::registerSuperclass(GetModuleHandleW(nullptr), L"EDIT",
                                                      kClassName, captureProc)) != nullptr;
  return registered ? kClassName : L"EDIT";
}

}  // namespace tollivane::frontend::win32
