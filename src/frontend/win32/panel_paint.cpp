#include "frontend/win32/panel_paint.hpp"

#include <windows.h>

#include <string>

#include "platform/win32/window_class.hpp"

namespace tollivane::frontend::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TollivanePanel";
WNDPROC groupBoxProc = nullptr;  // the system's, behind ours

void paint(HWND panel) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(panel, &paint);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  const auto fill = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(panel), WM_CTLCOLORSTATIC,
                                                          reinterpret_cast<WPARAM>(dc),
                                                          reinterpret_cast<LPARAM>(panel)));
  RECT client;
  GetClientRect(panel, &client);
  FillRect(dc, &client, fill);
  HGDIOBJ oldFont =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(panel, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  RECT frame = client;
  frame.top += metrics.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  wchar_t caption[128];
  const int length = GetWindowTextW(panel, caption, 128);
  if (length > 0) {
    // Over the frame's top line, with a blank either side, as a group box draws it.
    const std::wstring padded = L" " + std::wstring(caption, std::size_t(length)) + L" ";
    RECT text{metrics.tmAveCharWidth, 0, client.right - metrics.tmAveCharWidth, metrics.tmHeight};
    SetBkMode(dc, OPAQUE);
    DrawTextW(dc, padded.c_str(), static_cast<int>(padded.size()), &text,
              DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP);
  }
  SelectObject(dc, oldFont);
  EndPaint(panel, &paint);
}

LRESULT CALLBACK panelProc(HWND panel, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint(panel);
      return 0;
    default:
      return CallWindowProcW(groupBoxProc, panel, message, w, l);
  }
}

}  // namespace

const wchar_t* colouredPanelClass() {
  static const bool registered =
      (groupBoxProc = platform::win32::registerSuperclass(GetModuleHandleW(nullptr), L"BUTTON",
                                                          kClassName, panelProc)) != nullptr;
  return registered ? kClassName : L"BUTTON";
}

}  // namespace tollivane::frontend::win32
