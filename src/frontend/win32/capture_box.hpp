// The capture control's inner box: an edit box that takes every key as a key (Tab, Enter,
// Esc, Backspace, Alt combinations and F10 included) and refuses typed, pasted and dropped
// text. It never touches the clipboard.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

namespace tollivane::frontend::win32 {

using KeyDownHandler = std::function<void(std::int16_t keyCode, std::int16_t shift)>;
// The box gains (true) or loses the keyboard focus.
using FocusHandler = std::function<void(bool has)>;

// Subclasses `edit` for as long as it lives.
void makeCaptureBox(HWND edit, KeyDownHandler onKeyDown, FocusHandler onFocus);

// The modifier mask (1 Shift, 2 Ctrl, 4 Alt) from the key state of the message being handled.
std::int16_t modifierMask();

}  // namespace tollivane::frontend::win32
