// A coloured panel paints itself: it covers what lies beneath it (the banner), where a group
// box draws only its frame, and its caption takes the panel's colours. It is a group box in
// all else, and asks its window for its colours as any control does (WM_CTLCOLORSTATIC).
#pragma once

namespace tollivane::frontend::win32 {

// The window class of coloured panels, registered on first use.
const wchar_t* colouredPanelClass();

}  // namespace tollivane::frontend::win32
