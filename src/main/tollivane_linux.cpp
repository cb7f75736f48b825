// tollivane: the Linux program. Qt shows the windows; Tollivane's own X connection reads
// the global key state and draws the overlay, so that all of them share one X server.
#include <QApplication>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/hotkey_commands.hpp"
#include "frontend/qt/command_line.hpp"
#include "frontend/qt/display_setup.hpp"
#include "frontend/qt/main_window.hpp"
#include "frontend/qt/one_instance.hpp"
#include "frontend/qt/portal_shortcuts.hpp"
#include "frontend/qt/qt_application.hpp"
#include "frontend/qt/qt_shell.hpp"
#include "platform/combined_keys.hpp"
#include "platform/null_backends.hpp"
#include "platform/posix/posix_files.hpp"
#include "platform/x11/x11_session.hpp"
#include "settings/settings_keys.hpp"

int main(int argc, char* argv[]) {
  using namespace tollivane::platform;
  namespace qt = tollivane::frontend::qt;
  if (const std::optional<int> status = qt::answerCommandLine(argc, argv, TOLLIVANE_VERSION)) {
    return *status;
  }
  posix::PosixFiles files;
  if (const qt::CommandLine line = qt::readCommandLine(argc, argv);
      line.action == qt::CommandLineAction::Command) {
    return qt::handOnCommand(files.settingsFile(tollivane::settings::kSettingsFileName),
                             line.command);
  }
  qt::DisplaySetup display = qt::setUpDisplay(qt::readQtOptions(argc, argv));
  if (display.refused) return 1;
  std::unique_ptr<x11::X11Session>& session = display.session;
  qt::QtApplication application(argc, argv, session.get(), TOLLIVANE_VERSION, TOLLIVANE_APP_ID);

  NullKeyState noKeys;
  NullSurface noSurface;
  NullRunObserver noRuns;
  NullOverlayChoices noChoices;
  // Without X the commands from the command line still reach the poll.
  CombinedKeys keys(session ? session->keys() : noKeys, session ? session->runs() : noRuns);
  ForegroundSurface& surface = session ? session->surface() : noSurface;
  OverlayChoices& overlay = session ? session->overlay() : noChoices;

  qt::QtShell shell;
  qt::PortalShortcuts shortcuts(
      keys, QStringLiteral(TOLLIVANE_APP_ID),
      [&shell](const std::string& why) { shell.desktopShortcutsNotice(why); });
  // Pads until their adapter lands.
  NullPadState noPads;
  Platform machine{keys, surface, files, keys, overlay, shortcuts, noPads};
  qt::MainWindow window(machine, shell);
  if (!window.load()) return 1;
  const tollivane::app::Form1Record& record = window.form().record();
  const qt::OneInstance instance(record.SettingsPath, window, [&](std::string_view word) {
    const std::optional<std::size_t> binding = tollivane::app::bindingOfCommand(word);
    return binding &&
           keys.pressBinding(record.HotKeyCodes[*binding], record.HotKeyShifts[*binding]);
  });
  if (instance.anotherRuns()) return 0;
  window.showCentred();
  if (!session) {
    shell.messageBox(
        "Hotkeys and the timer overlay need an X11 session; they are off in this session.",
        tollivane::app::MessageIcon::None, tollivane::app::kAppTitle);
  }
  return QApplication::exec();
}
