#include "platform/win32/win32_key_state.hpp"

namespace tollivane::platform::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TollivaneRawKeys";
// Not asked for in two seconds (ten polls): no longer one of the bindings' keys, so its
// presses are not kept, and none from before is reported when it is bound again.
constexpr ULONGLONG kBoundFor = 2000;
// Scan codes of the right-hand Shift; the other right-hand modifiers carry the E0 prefix.
constexpr USHORT kRightShiftScan = 0x36;

bool registerClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

Win32KeyState::Win32KeyState() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!registerClass(instance, windowProc)) return;
  window_ =
      CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
  if (!window_) return;
  // Page 1 usage 6: keyboards. INPUTSINK: also while another program has the focus.
  RAWINPUTDEVICE keyboard{0x01, 0x06, RIDEV_INPUTSINK, window_};
  if (!RegisterRawInputDevices(&keyboard, 1, sizeof keyboard)) {
    DestroyWindow(window_);
    window_ = nullptr;
  }
}

Win32KeyState::~Win32KeyState() {
  if (!window_) return;
  RAWINPUTDEVICE keyboard{0x01, 0x06, RIDEV_REMOVE, nullptr};
  RegisterRawInputDevices(&keyboard, 1, sizeof keyboard);
  DestroyWindow(window_);
}

LRESULT CALLBACK Win32KeyState::windowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32KeyState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_INPUT && self) self->onRawInput(reinterpret_cast<HRAWINPUT>(l));
  // WM_INPUT too: the system frees the input's data there.
  return DefWindowProcW(window, message, w, l);
}

void Win32KeyState::onRawInput(HRAWINPUT input) {
  RAWINPUT raw;
  UINT size = sizeof raw;
  if (GetRawInputData(input, RID_INPUT, &raw, &size, sizeof raw.header) == UINT(-1)) return;
  if (raw.header.dwType != RIM_TYPEKEYBOARD) return;
  const RAWKEYBOARD& key = raw.data.keyboard;
  if (key.Flags & RI_KEY_BREAK) return;
  const ULONGLONG now = GetTickCount64();
  const bool right = key.Flags & RI_KEY_E0;
  switch (key.VKey) {
    // The sided codes come as the generic one: either side counts for it, and its own side too.
    case VK_SHIFT:
      pressed(VK_SHIFT, now);
      pressed(key.MakeCode == kRightShiftScan ? VK_RSHIFT : VK_LSHIFT, now);
      break;
    case VK_CONTROL:
      pressed(VK_CONTROL, now);
      pressed(right ? VK_RCONTROL : VK_LCONTROL, now);
      break;
    case VK_MENU:
      pressed(VK_MENU, now);
      pressed(right ? VK_RMENU : VK_LMENU, now);
      break;
    case VK_LSHIFT:
    case VK_RSHIFT:
      pressed(VK_SHIFT, now);
      pressed(key.VKey, now);
      break;
    case VK_LCONTROL:
    case VK_RCONTROL:
      pressed(VK_CONTROL, now);
      pressed(key.VKey, now);
      break;
    case VK_LMENU:
    case VK_RMENU:
      pressed(VK_MENU, now);
      pressed(key.VKey, now);
      break;
    default:
      pressed(key.VKey, now);
  }
}

void Win32KeyState::pressed(unsigned vk, ULONGLONG now) {
  // 255 marks the fake keys of escaped sequences, not a key.
  if (vk == 0 || vk >= 255) return;
  if (lastQueried_[vk] != 0 && now - lastQueried_[vk] <= kBoundFor) pressedSince_.set(vk);
}

std::int16_t Win32KeyState::GetAsyncKeyState(std::int16_t keyCode) {
  // Codes outside 1..254 name no key; the system would read them modulo 256.
  if (keyCode <= 0 || keyCode > 254) return 0;
  const auto vk = static_cast<std::size_t>(keyCode);
  const auto system = static_cast<std::uint16_t>(::GetAsyncKeyState(keyCode));
  if (!window_) return static_cast<std::int16_t>(system);
  const bool pressedSince = pressedSince_[vk];
  pressedSince_.reset(vk);
  // Never 0: 0 means "never asked".
  lastQueried_[vk] = GetTickCount64() | 1;
  return static_cast<std::int16_t>((system & 0x8000) | (pressedSince ? 1 : 0));
}

}  // namespace tollivane::platform::win32
