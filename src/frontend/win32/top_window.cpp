#include "frontend/win32/top_window.hpp"

#include "frontend/win32/resources.hpp"
#include "platform/win32/dpi_scale.hpp"
#include "platform/win32/wide_text.hpp"
#include "platform/win32/window_class.hpp"

namespace tollivane::frontend::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TollivaneWindow";

void registerClass(WNDPROC procedure) {
  static const bool registered = [procedure] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(TOLLIVANE_ICON));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

}  // namespace

int screenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int windowDpi(HWND window) {
  const unsigned dpi = platform::win32::dpiForWindow(window);
  return dpi > 0 ? static_cast<int>(dpi) : screenDpi();
}

TopWindow::~TopWindow() { destroy(); }

void TopWindow::create(const ui::WindowLayout& layout, HWND owner, HMENU menu) {
  registerClass(&TopWindow::proc);
  layout_ = &layout;
  owner_ = owner;
  // Fixed border; a minimise box where the table asks for one, never a maximise box.
  const DWORD style =
      WS_POPUP | WS_CAPTION | WS_SYSMENU | (layout.minimizeButton ? WS_MINIMIZEBOX : 0);
  const DWORD exStyle = owner != nullptr ? WS_EX_DLGMODALFRAME : 0;
  window_ = CreateWindowExW(exStyle, kClassName, platform::win32::widen(layout.caption).c_str(),
                            style, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, owner, menu,
                            GetModuleHandleW(nullptr), this);
  // Sized once it exists, at the dpi of the monitor it came up on.
  const int dpi = windowDpi(window_);
  RECT frame{0, 0, ui::twipsToPixels(layout.clientWidth, dpi),
             ui::twipsToPixels(layout.clientHeight, dpi)};
  AdjustWindowRectEx(&frame, style, menu != nullptr, exStyle);
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  controls_ = std::make_unique<LayoutWindows>(layout, window_, dpi);
}

void TopWindow::showCentred(int show) {
  RECT area;
  if (owner_ != nullptr && layout_->startPosition == ui::StartPosition::CenterOwner) {
    GetWindowRect(owner_, &area);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT frame;
  GetWindowRect(window_, &frame);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  SetWindowPos(window_, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(window_, show);
  UpdateWindow(window_);
}

void TopWindow::destroy() {
  if (window_ == nullptr) return;
  controls_.reset();
  DestroyWindow(window_);
  window_ = nullptr;
}

LRESULT CALLBACK TopWindow::proc(HWND window, UINT message, WPARAM w, LPARAM l) {
  TopWindow* self = platform::win32::windowOwner<TopWindow>(window, message, l);
  // The system's while it has no controls, before they are built and while it is destroyed:
  // nothing of ours is ready for a message then.
  if (self == nullptr || self->controls_ == nullptr) return DefWindowProcW(window, message, w, l);
  return self->handle(message, w, l);
}

void TopWindow::clickId(int id) {
  const ui::ControlLayout* c = controls_->control(id);
  if (c != nullptr && c->kind == ui::ControlKind::Button) onClick(c->name);
}

LRESULT TopWindow::handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      if (HBRUSH brush = controls_->colours(reinterpret_cast<HWND>(l), reinterpret_cast<HDC>(w))) {
        return reinterpret_cast<LRESULT>(brush);
      }
      break;
    case WM_ERASEBKGND:
      if (HBRUSH background = controls_->background()) {
        RECT client;
        GetClientRect(window_, &client);
        FillRect(reinterpret_cast<HDC>(w), &client, background);
        return 1;
      }
      break;
    case WM_DPICHANGED: {
      // Moved to a monitor with another scale: the system suggests the new frame.
      controls_->rescale(HIWORD(w));
      const RECT* frame = reinterpret_cast<const RECT*>(l);
      SetWindowPos(window_, nullptr, frame->left, frame->top, frame->right - frame->left,
                   frame->bottom - frame->top, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case DM_GETDEFID:
      if (controls_->defaultId() != 0) return MAKELRESULT(controls_->defaultId(), DC_HASDEFID);
      break;
    case WM_COMMAND: {
      const int id = LOWORD(w);
      if (l != 0) {
        if (HIWORD(w) == BN_CLICKED) clickId(id);
        return 0;
      }
      // Enter and Esc, as the dialog manager turns them into commands.
      if (id == IDOK && controls_->defaultId() != 0) return clickId(controls_->defaultId()), 0;
      if (id == IDCANCEL && controls_->cancelId() != 0) return clickId(controls_->cancelId()), 0;
      break;
    }
    default:
      break;
  }
  return onMessage(message, w, l);
}

LRESULT TopWindow::onMessage(UINT message, WPARAM w, LPARAM l) {
  return DefWindowProcW(window_, message, w, l);
}

}  // namespace tollivane::frontend::win32
