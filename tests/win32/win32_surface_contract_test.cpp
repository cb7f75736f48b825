// The surface contract over both Windows ways of drawing: straight onto the window in front
// and through the window of our own. A program of its own: the screen, read back here, must
// show only what these tests drew.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "contract/surface_contract.hpp"
#include "platform/win32/win32_overlay_window.hpp"
#include "platform/win32/win32_surface.hpp"
#include "screen_copy.hpp"
#include "win32/stand_in_window.hpp"

namespace tollivane::platform::win32 {
namespace {

// Stand-in games at the screen's corner; what shows read back from the screen, where both
// ways show.
template <typename Surface>
class Win32Desktop final : public contract::Desktop {
 public:
  ~Win32Desktop() override {
    for (const HWND window : windows_) DestroyWindow(window);
    DeleteObject(brush_);
  }
  ForegroundSurface& surface() override { return surface_; }
  WindowHandle open() override {
    static const HBRUSH background = CreateSolidBrush(RGB(0x20, 0x40, 0x60));
    tests::StandInLook style;
    style.place = {0, 0, 340, 400};
    style.title = L"game";
    style.background = background;
    const int n = static_cast<int>(++opened_);
    style.place = {20 * n, 10 * n, 340, 400};
    windows_.push_back(tests::openStandInGame(style));
    const WindowHandle window = reinterpret_cast<WindowHandle>(windows_.back());
    // Shown once the screen has it, which a busy Wine may take a while to do.
    const contract::Pixels painted(340 * 400, 0x204060);
    for (int tries = 0; tries < 40 && look(window, {0, 0, 340, 400}) != painted; ++tries) {
    }
    return window;
  }
  void focus(WindowHandle window) override {
    SetForegroundWindow(window ? reinterpret_cast<HWND>(window) : GetDesktopWindow());
    tests::settleScreen();
  }
  void repaint(WindowHandle window) override {
    RedrawWindow(reinterpret_cast<HWND>(window), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  void close(WindowHandle window) override {
    DestroyWindow(reinterpret_cast<HWND>(window));
    std::erase(windows_, reinterpret_cast<HWND>(window));
  }
  contract::Pixels look(WindowHandle window, const Rect& area) override {
    POINT origin{area.Left, area.Top};
    if (window) ClientToScreen(reinterpret_cast<HWND>(window), &origin);
    win32_tests::ScreenCopy copy(area.Right - area.Left, area.Bottom - area.Top);
    // The screen catches up on its own schedule: what it shows twice running.
    contract::Pixels seen;
    for (int tries = 0; tries < 50; ++tries) {
      tests::settleScreen();
      contract::Pixels now = copy.from(nullptr, origin.x, origin.y).pixels();
      if (now == seen) break;
      seen = std::move(now);
    }
    return seen;
  }
  BrushHandle brush() override { return reinterpret_cast<BrushHandle>(brush_); }
  bool brushKept(BrushHandle brush) override {
    return GetObjectType(reinterpret_cast<HGDIOBJ>(brush)) != 0;
  }

 private:
  Surface surface_;
  std::vector<HWND> windows_;
  unsigned opened_ = 0;
  HBRUSH brush_ = CreateSolidBrush(RGB(0, 255, 0));
};

using contract::SurfaceContract;
INSTANTIATE_TEST_SUITE_P(
    Win32, SurfaceContract,
    ::testing::Values(
        contract::SurfaceKit{"Win32",
                             [] { return std::make_unique<Win32Desktop<Win32Surface>>(); }},
        contract::SurfaceKit{"Win32OwnWindow",
                             [] { return std::make_unique<Win32Desktop<Win32OverlayWindow>>(); }}),
    contract::surfaceKitName);

}  // namespace
}  // namespace tollivane::platform::win32
