// tollivane: the Linux program. Qt shows the windows; Tollivane's own X connection reads
// the global key state and draws the overlay, so that all of them share one X server.
#include <QApplication>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "frontend/qt/command_line.hpp"
#include "frontend/qt/display_setup.hpp"
#include "frontend/qt/game_launch.hpp"
#include "frontend/qt/main_window.hpp"
#include "frontend/qt/one_instance.hpp"
#include "frontend/qt/portal_shortcuts.hpp"
#include "frontend/qt/qt_application.hpp"
#include "frontend/qt/qt_shell.hpp"
#include "game_pads.hpp"
#include "platform/machine_assembly.hpp"
#include "platform/null_backends.hpp"
#include "platform/posix/posix_files.hpp"
#include "platform/x11/x11_session.hpp"
#include "settings/settings_keys.hpp"
#include "standard_streams.hpp"

int main(int argc, char* argv[]) {
  using namespace tollivane::platform;
  namespace qt = tollivane::frontend::qt;
  tollivane::openClosedStandardStreams();
  if (const std::optional<int> status = qt::answerCommandLine(argc, argv, TOLLIVANE_VERSION)) {
    return *status;
  }
  posix::PosixFiles files;
  const qt::CommandLine line = qt::readCommandLine(argc, argv);
  if (line.action == qt::CommandLineAction::Command) {
    return qt::handOnCommand(files.settingsFile(tollivane::settings::kSettingsFileName),
                             line.command);
  }
  // The game starts first: nothing of ours may keep it from starting, and from then on every
  // way this program ends waits for it and passes on its exit status.
  std::optional<qt::GameLaunch> game;
  if (line.action == qt::CommandLineAction::Launch) {
    game.emplace(line.launch.program);
    if (!game->started() ||
        qt::useRunningCopy(files.settingsFile(tollivane::settings::kSettingsFileName),
                           line.launch.startClock)) {
      return game->wait();
    }
  }
  const auto end = [&game](int status) { return game ? game->wait() : status; };
  int qtArgc = line.launch.ownArguments;
  qt::DisplaySetup display = qt::setUpDisplay(qt::readQtOptions(qtArgc, argv));
  if (display.refused) return end(1);
  std::unique_ptr<x11::X11Session>& session = display.session;
  qt::QtApplication application(qtArgc, argv, session.get(), TOLLIVANE_VERSION, TOLLIVANE_APP_ID);

  // Without X the commands from the command line still reach the poll.
  NullKeyState noKeys;
  NullSurface noSurface;
  const std::unique_ptr<PadState> pads = tollivane::makeGamePads();
  const bool gamescope = session && session->inGamescope();
  MachineAssembly assembly({session ? session->keys() : noKeys,
                            session ? session->direct() : noSurface,
                            session ? session->ownWindow() : nullptr, files, *pads, gamescope});

  qt::QtShell shell;
  if (game) game->holdWhileStarting(shell);
  qt::PortalShortcuts shortcuts(
      assembly.keys(), QStringLiteral(TOLLIVANE_APP_ID),
      [&shell](const std::string& why) { shell.desktopShortcutsNotice(why); });
  Platform machine = assembly.platform(shortcuts);
  qt::MainWindow window(machine, shell);
  if (!window.load()) return end(1);
  const tollivane::app::Form1Record& record = window.form().record();
  assembly.pressBindingsOf(record.HotKeyCodes, record.HotKeyShifts);
  const qt::OneInstance instance(record.SettingsPath, window,
                                 [&](std::string_view word) { return assembly.command(word); });
  if (instance.anotherRuns()) return end(0);
  if (gamescope) {
    window.startUnshown();
  } else {
    window.showCentred(game.has_value());
  }
  if (!session) {
    shell.messageBox(
        "Hotkeys and the timer overlay need an X11 session; they are off in this session.",
        tollivane::app::MessageIcon::None, tollivane::app::kAppTitle);
  }
  if (game) {
    game->windowShown(shell);
    if (line.launch.startClock) assembly.command("start");
  }
  return QApplication::exec();
}
