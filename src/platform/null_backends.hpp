// Stand-ins where there is no key state or screen to reach (a session without X, tests):
// no key or pad button is ever down and nothing is drawn.
#pragma once

#include <optional>

#include "platform/chosen_surface.hpp"

namespace tollivane::platform {

class NullKeyState final : public platform::KeyState {
 public:
  std::int16_t GetAsyncKeyState(std::int16_t) override { return 0; }
};

class NullPadState final : public platform::PadState {
 public:
  std::size_t readPads(std::span<std::uint32_t>) override { return 0; }
};

class NullSurface final : public platform::DirectSurface {
 public:
  platform::WindowHandle GetForegroundWindow() override { return 0; }
  platform::DeviceContext GetDC(platform::WindowHandle) override { return 0; }
  void ReleaseDC(platform::WindowHandle, platform::DeviceContext) override {}
  void SetTextColor(platform::DeviceContext, platform::ColorRef) override {}
  void FillRect(platform::DeviceContext, const platform::Rect&, platform::BrushHandle) override {}
  void DrawTextA(platform::DeviceContext, const char*, int, const platform::Rect&,
                 unsigned) override {}
  void DeleteObject(platform::BrushHandle) override {}
  void setTextHeight(platform::DeviceContext, int) override {}
  std::optional<Size> clientSize(platform::WindowHandle) override { return std::nullopt; }
  ClockSeen lookAtLastClock() override { return ClockSeen::Unknown; }
  bool screenSeen() const override { return true; }
};

class NullRunObserver final : public platform::RunObserver {
 public:
  void runEnds(bool) override {}
};

class NullDesktopShortcuts final : public platform::DesktopShortcuts {
 public:
  void useDesktopShortcuts(bool, const std::array<std::int16_t, 3>&,
                           const std::array<std::int16_t, 3>&) override {}
};

}  // namespace tollivane::platform
