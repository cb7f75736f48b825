#include "platform/win32/win32_overlay_window.hpp"

#include <cstring>

#include "platform/win32/colour_key.hpp"
#include "platform/win32/dpi_scale.hpp"
#include "platform/win32/window_class.hpp"

namespace tollivane::platform::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TollivaneOverlayWindow";
constexpr DWORD kExStyle =
    WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;

HDC context(DeviceContext dc) { return reinterpret_cast<HDC>(dc); }

}  // namespace

Win32OverlayWindow::Win32OverlayWindow() {
  text_.reserve(256);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!registerWindowClass(instance, kClassName, windowProc)) return;
  key_ = CreateSolidBrush(kColourKey);
  window_ = CreateWindowExW(kExStyle, kClassName, L"Tollivane overlay", WS_POPUP, 0, 0, 1, 1,
                            nullptr, nullptr, instance, this);
  if (window_ && !SetLayeredWindowAttributes(window_, kColourKey, 255, LWA_COLORKEY)) {
    DestroyWindow(window_);
    window_ = nullptr;
  }
}

Win32OverlayWindow::~Win32OverlayWindow() {
  if (window_) DestroyWindow(window_);
  if (key_) ::DeleteObject(key_);
}

LRESULT CALLBACK Win32OverlayWindow::windowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  const auto* self = windowOwner<Win32OverlayWindow>(window, message, l);
  switch (message) {
    // Clicks go to whatever lies below, and nothing here ever becomes active.
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(window, &paint);
      if (self && dc) self->paint(dc);
      EndPaint(window, &paint);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, w, l);
  }
}

WindowHandle Win32OverlayWindow::GetForegroundWindow() {
  HWND front = ::GetForegroundWindow();
  // Ours only if the system activated it against its style: keep following the last target.
  if (front && front == window_) front = IsWindow(target_) ? target_ : nullptr;
  return reinterpret_cast<WindowHandle>(front);
}

DeviceContext Win32OverlayWindow::GetDC(WindowHandle window) {
  if (!window_) return 0;
  target_ = reinterpret_cast<HWND>(window);
  origin_ = POINT{0, 0};
  // Fails once the window is gone: this frame is lost, the next follows the new one in front.
  if (target_ && !ClientToScreen(target_, &origin_)) return 0;
  placed_ = false;
  textHeight_ = 0;
  // A game that is not dpi-aware is stretched by the system; ours is placed in pixels. Where
  // the system cannot tell, every window has its dpi and nothing converts.
  targetDpi_ = dpiForWindow(target_);
  ownDpi_ = target_ ? dpiForWindow(window_) : 0;
  return reinterpret_cast<DeviceContext>(::GetDC(window_));
}

void Win32OverlayWindow::ReleaseDC(WindowHandle, DeviceContext dc) {
  if (dc != 0) ::ReleaseDC(window_, context(dc));
}

void Win32OverlayWindow::SetTextColor(DeviceContext dc, ColorRef color) {
  if (dc == 0) return;
  ::SetTextColor(context(dc), color);
  textColor_ = color;
}

// Places the window over the rectangle, as any frame's drawing does; nothing is filled.
void Win32OverlayWindow::FillRect(DeviceContext dc, const Rect& given, BrushHandle) {
  if (dc != 0) place(context(dc), own(given));
}

void Win32OverlayWindow::DrawTextA(DeviceContext dc, const char* text, int count, const Rect& given,
                                   unsigned format) {
  if (dc == 0) return;
  const Rect rect = own(given);
  place(context(dc), rect);
  RECT r = local(rect);
  font_ = fonts_.choose(context(dc), scaledForDpi(textHeight_, targetDpi_, ownDpi_),
                        rect.Bottom - rect.Top, rect.Right - rect.Left);
  const HGDIOBJ old = font_.ours ? SelectObject(context(dc), font_.font) : nullptr;
  ::DrawTextA(context(dc), text, count, &r, format);
  if (old) SelectObject(context(dc), old);
  // Kept for WM_PAINT, which comes when the system, not the core, wants the window drawn.
  text_.assign(text, count < 0 ? std::strlen(text) : static_cast<std::size_t>(count));
  textRect_ = local(rect);
  format_ = format;
}

void Win32OverlayWindow::DeleteObject(BrushHandle) {}

void Win32OverlayWindow::setTextHeight(DeviceContext dc, int pixels) {
  if (dc != 0) textHeight_ = pixels;
}

void Win32OverlayWindow::hide() {
  if (!shown_) return;
  ShowWindow(window_, SW_HIDE);
  shown_ = false;
}

void Win32OverlayWindow::place(HDC dc, const Rect& rect) {
  if (placed_) return;
  placed_ = true;
  anchor_ = POINT{rect.Left, rect.Top};
  const RECT want{origin_.x + rect.Left, origin_.y + rect.Top, origin_.x + rect.Right,
                  origin_.y + rect.Bottom};
  const bool moved = std::memcmp(&want, &bounds_, sizeof want) != 0;
  // Raised when shown, over a new target, or once the target has come above us; otherwise the
  // z-order is left alone, since asking costs the window manager a restack.
  const bool raise = !shown_ || target_ != raisedOver_ || targetAbove();
  if (moved || raise) {
    UINT flags = SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_SHOWWINDOW;
    if (!moved) flags |= SWP_NOMOVE | SWP_NOSIZE;
    if (!raise) flags |= SWP_NOZORDER;
    SetWindowPos(window_, HWND_TOPMOST, want.left, want.top, want.right - want.left,
                 want.bottom - want.top, flags);
    bounds_ = want;
    raisedOver_ = target_;
    shown_ = true;
  }
  const RECT all{0, 0, want.right - want.left, want.bottom - want.top};
  ::FillRect(dc, &all, key_);
}

bool Win32OverlayWindow::targetAbove() const {
  if (!target_) return false;
  for (HWND above = GetWindow(window_, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
    if (above == target_) return true;
  }
  return false;
}

Rect Win32OverlayWindow::own(const Rect& rect) const {
  return scaledForDpi(rect, targetDpi_, ownDpi_);
}

RECT Win32OverlayWindow::local(const Rect& rect) const {
  return RECT{rect.Left - anchor_.x, rect.Top - anchor_.y, rect.Right - anchor_.x,
              rect.Bottom - anchor_.y};
}

void Win32OverlayWindow::paint(HDC dc) const {
  const RECT all{0, 0, bounds_.right - bounds_.left, bounds_.bottom - bounds_.top};
  ::FillRect(dc, &all, key_);
  if (text_.empty()) return;
  ::SetTextColor(dc, textColor_);
  RECT r = textRect_;
  const HGDIOBJ old = font_.ours ? SelectObject(dc, font_.font) : nullptr;
  ::DrawTextA(dc, text_.data(), static_cast<int>(text_.size()), &r, format_);
  if (old) SelectObject(dc, old);
}

}  // namespace tollivane::platform::win32
