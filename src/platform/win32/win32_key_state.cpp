#include "platform/win32/win32_key_state.hpp"

#include <windows.h>

namespace tollivane::platform::win32 {

std::int16_t Win32KeyState::GetAsyncKeyState(std::int16_t keyCode) {
  // Codes outside 1..254 name no key; the system would read them modulo 256.
  if (keyCode <= 0 || keyCode > 254) return 0;
  return static_cast<std::int16_t>(::GetAsyncKeyState(keyCode));
}

}  // namespace tollivane::platform::win32
