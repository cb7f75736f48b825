// tollivane.exe: the Windows program. Plain Win32 windows; the key state, the overlay and the
// files go straight to the system, the overlay either onto the window in front or through a
// window of our own.
#include <windows.h>

#include <commctrl.h>

#include "frontend/win32/main_window.hpp"
#include "frontend/win32/win32_shell.hpp"
#include "platform/chosen_surface.hpp"
#include "platform/win32/power_throttling.hpp"
#include "platform/win32/single_instance.hpp"
#include "platform/win32/win32_files.hpp"
#include "platform/win32/win32_key_state.hpp"
#include "platform/win32/win32_overlay_window.hpp"
#include "platform/win32/win32_surface.hpp"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  using namespace tollivane;
  INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&common);
  platform::win32::optOutOfPowerThrottling();

  platform::win32::Win32KeyState keys;
  platform::win32::Win32Surface direct;
  // Made before the main window and destroyed after it: the last frames' hide() reaches it.
  platform::win32::Win32OverlayWindow ownWindow;
  platform::ChosenSurface surface(direct, ownWindow.handle() ? &ownWindow : nullptr);
  platform::win32::Win32Files files;
  platform::Platform machine{keys, surface, files, surface, surface};
  frontend::win32::Win32Shell shell;
  frontend::win32::MainWindow window(machine, shell);
  if (!window.load()) return 1;
  platform::win32::SingleInstance instance(window.form().record().SettingsPath, window.handle());
  if (instance.role() == platform::win32::SingleInstance::Role::Another) return 0;
  window.show(show);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(window.handle(), &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return 0;
}
