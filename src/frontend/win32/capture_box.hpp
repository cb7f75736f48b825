// The capture control's inner box: an edit box that takes every key as a key (Tab, Enter,
// Esc, Backspace, Alt combinations and F10 included) and refuses typed, pasted and dropped
// text. It never touches the clipboard. It tells its window of keys and focus by the two
// messages below, sent as they happen; lParam is the box.
#pragma once

#include <windows.h>

namespace tollivane::frontend::win32 {

// A key went down in the box: wParam is MAKEWPARAM(key code, modifier mask), the mask (1 Shift,
// 2 Ctrl, 4 Alt) from the key state of that key's message.
constexpr UINT kCaptureKeyDown = WM_APP + 1;
// The box gains (wParam 1) or loses (0) the keyboard focus.
constexpr UINT kCaptureFocus = WM_APP + 2;

// The window class of capture boxes, registered on first use.
const wchar_t* captureBoxClass();

}  // namespace tollivane::frontend::win32
