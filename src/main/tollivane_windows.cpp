// tollivane.exe: the Windows program. Plain Win32 windows; the key state, the overlay and the
// files go straight to the system, the overlay either onto the window in front or through a
// window of our own.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "frontend/win32/game_launch.hpp"
#include "frontend/win32/hotkey_command_line.hpp"
#include "frontend/win32/main_window.hpp"
#include "frontend/win32/win32_shell.hpp"
#include "platform/machine_assembly.hpp"
#include "platform/null_backends.hpp"
#include "platform/win32/exclusive_full_screen.hpp"
#include "platform/win32/power_throttling.hpp"
#include "platform/win32/single_instance.hpp"
#include "platform/win32/win32_files.hpp"
#include "platform/win32/win32_key_state.hpp"
#include "platform/win32/win32_overlay_window.hpp"
#include "platform/win32/win32_surface.hpp"
#include "platform/win32/xinput_pads.hpp"
#include "settings/settings_keys.hpp"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  using namespace tollivane;
  INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&common);
  platform::win32::optOutOfPowerThrottling();

  platform::win32::Win32Files files;
  const std::string settingsPath = files.settingsFile(settings::kSettingsFileName);
  if (const std::optional<int> status =
          frontend::win32::handOnHotkeyCommand(__argc, __argv, settingsPath)) {
    return *status;
  }
  // The game starts first: nothing of ours may keep it from starting, and from then on every
  // way this program ends waits for it and passes on its exit status.
  const std::optional<GameLaunchLine> launch = frontend::win32::readGameLaunch();
  std::optional<frontend::win32::GameLaunch> game;
  if (launch) {
    if (launch->program.empty()) return 2;
    game.emplace(launch->program);
    if (!game->started() || frontend::win32::useRunningCopy(settingsPath, launch->startClock)) {
      return game->wait();
    }
    show = SW_SHOWMINNOACTIVE;
  }
  const auto end = [&game](int status) { return game ? game->wait() : status; };

  platform::win32::Win32KeyState keyboard;
  platform::win32::Win32Surface direct;
  // Made before the main window and destroyed after it: the last frames' hide() reaches it.
  platform::win32::Win32OverlayWindow ownWindow;
  platform::win32::XInputPads pads;
  platform::MachineAssembly assembly(
      {keyboard, direct, ownWindow.handle() ? &ownWindow : nullptr, files, pads});
  // Windows hands every key to the key state already: no desktop shortcuts are needed.
  platform::NullDesktopShortcuts noShortcuts;
  platform::Platform machine = assembly.platform(noShortcuts);
  frontend::win32::Win32Shell shell;
  if (game) {
    shell.setEndAction([&game](int) { game->endWithGame(); });
    shell.sayBoxesOnStandardError(true);  // while the game starts
  }
  frontend::win32::MainWindow window(machine, shell);
  keyboard.onElevatedFront([&window] {
    window.addLine(
        "While the window in front runs as administrator, Windows keeps the hotkeys from "
        "Tollivane. To use them in that game, run Tollivane as administrator too.");
  });
  platform::win32::ExclusiveFullScreen fullScreen([&window](bool holds) {
    constexpr std::string_view kNotice =
        "The game in front runs in exclusive full screen, where Windows shows no other window: "
        "the time cannot be seen over it. Set the game to borderless or windowed full screen.";
    holds ? window.addLine(kNotice) : window.removeLine(kNotice);
  });
  window.onWake([&fullScreen] { fullScreen.check(); });
  pads.onMissing(
      [&window] { window.addLine("No XInput DLL was found: game controllers cannot be used."); });
  if (!window.load()) return end(1);
  const app::Form1Record& record = window.form().record();
  platform::win32::SingleInstance instance(record.SettingsPath, window.handle());
  if (instance.role() == platform::win32::SingleInstance::Role::Another) return end(0);
  if (instance.stepped()) {
    window.addLine(
        "Another program holds the name Tollivane finds its running copy by; this one took the "
        "next, where later starts find it too.");
  }
  assembly.pressBindingsOf(record.HotKeyCodes, record.HotKeyShifts);
  instance.setCommandHandler([&](std::string_view word) { return assembly.command(word); });
  window.show(show);
  shell.sayBoxesOnStandardError(false);
  if (launch && launch->startClock) assembly.command("start");
  return frontend::win32::runMessageLoop(window.handle(), game ? &*game : nullptr);
}
