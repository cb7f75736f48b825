// tollivane: the Linux program. Qt shows the windows; Tollivane's own X connection reads
// the global key state and draws the overlay, so that all of them share one X server.
#include <QApplication>
#include <memory>
#include <optional>

#include "frontend/qt/command_line.hpp"
#include "frontend/qt/display_setup.hpp"
#include "frontend/qt/main_window.hpp"
#include "frontend/qt/one_instance.hpp"
#include "frontend/qt/qt_application.hpp"
#include "frontend/qt/qt_shell.hpp"
#include "platform/null_backends.hpp"
#include "platform/posix/posix_file_system.hpp"
#include "platform/x11/x11_session.hpp"

int main(int argc, char* argv[]) {
  using namespace tollivane::platform;
  namespace qt = tollivane::frontend::qt;
  if (const std::optional<int> status = qt::answerCommandLine(argc, argv, TOLLIVANE_VERSION)) {
    return *status;
  }
  qt::DisplaySetup display = qt::setUpDisplay(qt::readQtOptions(argc, argv));
  if (display.refused) return 1;
  std::unique_ptr<x11::X11Session>& session = display.session;
  qt::QtApplication application(argc, argv, session.get(), TOLLIVANE_VERSION, TOLLIVANE_APP_ID);

  NullKeyState noKeys;
  NullSurface noSurface;
  NullRunObserver noRuns;
  NullOverlayChoices noChoices;
  KeyState& keys = session ? session->keys() : noKeys;
  ForegroundSurface& surface = session ? session->surface() : noSurface;
  RunObserver& runs = session ? session->runs() : noRuns;
  OverlayChoices& overlay = session ? session->overlay() : noChoices;

  posix::PosixFiles files;
  Platform machine{keys, surface, files, runs, overlay};
  qt::QtShell shell;
  qt::MainWindow window(machine, shell);
  if (!window.load()) return 1;
  const qt::OneInstance instance(window.form().record().SettingsPath, window);
  if (instance.anotherRuns()) return 0;
  window.showCentred();
  if (!session) {
    shell.messageBox(
        "Hotkeys and the timer overlay need an X11 session; they are off in this session.",
        tollivane::app::MessageIcon::None, tollivane::app::kAppTitle);
  }
  return QApplication::exec();
}
