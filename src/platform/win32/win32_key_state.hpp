// The keyboard as Windows reports it: GetAsyncKeyState itself, whose codes are ours.
#pragma once

#include "platform/platform.hpp"

namespace tollivane::platform::win32 {

class Win32KeyState final : public KeyState {
 public:
  std::int16_t GetAsyncKeyState(std::int16_t keyCode) override;
};

}  // namespace tollivane::platform::win32
