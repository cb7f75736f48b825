// tollivane: the Linux program. Qt shows the windows; Tollivane's own X connection reads
// the global key state and draws the overlay, so that all of them share one X server.
#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include <unistd.h>

#include "frontend/qt/command_line.hpp"
#include "frontend/qt/display_choice.hpp"
#include "frontend/qt/layout_builder.hpp"
#include "frontend/qt/main_window.hpp"
#include "frontend/qt/qt_shell.hpp"
#include "frontend/qt/qt_start_guard.hpp"
#include "frontend/qt/window_activation.hpp"
#include "frontend/qt/x11_capture_keys.hpp"
#include "platform/null_backends.hpp"
#include "platform/posix/posix_file_system.hpp"
#include "platform/posix/single_instance.hpp"
#include "platform/x11/x11_errors.hpp"
#include "platform/x11/x11_session.hpp"

namespace {

QtMessageHandler qtMessages = nullptr;

// Qt's own connection to the same X server may notice its loss first: say it our way, once.
void onQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("The X11 connection broke"))) {
    tollivane::platform::x11::lostConnection();
  }
  if (qtMessages != nullptr) {
    qtMessages(type, context, message);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  using namespace tollivane::platform;
  namespace qt = tollivane::frontend::qt;
  const qt::CommandLine commandLine = qt::readCommandLine(argc, argv);
  switch (commandLine.action) {
    case qt::CommandLineAction::Help:
      std::fputs(qt::usageText().c_str(), stdout);
      return 0;
    case qt::CommandLineAction::Version:
      std::fputs(qt::versionText(TOLLIVANE_VERSION).c_str(), stdout);
      return 0;
    case qt::CommandLineAction::Unknown:
      std::fprintf(stderr, "tollivane: unknown argument \"%s\"\n%s", commandLine.offending.c_str(),
                   qt::usageText().c_str());
      return 2;
    case qt::CommandLineAction::Run:
      break;
  }
  const char* display = std::getenv("DISPLAY");
  std::unique_ptr<x11::X11Session> session =
      display != nullptr && *display != '\0' ? x11::X11Session::open() : nullptr;
  const qt::DisplayChoice choice =
      qt::chooseDisplay({.display = display,
                         .waylandDisplay = std::getenv("WAYLAND_DISPLAY"),
                         .qpaPlatform = std::getenv("QT_QPA_PLATFORM"),
                         .xOpened = session != nullptr,
                         .qtHasWayland = qt::qtHasWaylandPlugin});
  if (!choice.refusal.empty()) {
    std::fprintf(stderr, "%s\n", choice.refusal.c_str());
    return 1;
  }
  if (choice.qpaPlatform) setenv("QT_QPA_PLATFORM", choice.qpaPlatform, 1);

  std::optional<qt::QtStartGuard> starting(
      std::in_place, qt::qtStartFailure(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                                        std::getenv("WAYLAND_DISPLAY")));
  QApplication app(argc, argv);
  starting.reset();
  if (session) qtMessages = qInstallMessageHandler(onQtMessage);
  // The class of every window (WM_CLASS "tollivane", "Tollivane") and the desktop entry's
  // StartupWMClass agree, so a launcher shows the window under the program's icon.
  QApplication::setApplicationName(QStringLiteral("Tollivane"));
  QApplication::setApplicationVersion(QStringLiteral(TOLLIVANE_VERSION));
  QApplication::setDesktopFileName(QStringLiteral(TOLLIVANE_APP_ID));
  QApplication::setWindowIcon(qt::programIcon());
  if (session) session->reclaimErrorHandlers();
  const auto captureKeys = qt::X11CaptureKeys::installIfX11();

  NullKeyState noKeys;
  NullSurface noSurface;
  KeyState& keys = session ? session->keys() : noKeys;
  ForegroundSurface& surface = session ? session->surface() : noSurface;
  std::unique_ptr<QSocketNotifier> xEvents;
  if (session) {
    session->processPendingEvents();
    xEvents = std::make_unique<QSocketNotifier>(session->connectionFd(), QSocketNotifier::Read);
    QObject::connect(xEvents.get(), &QSocketNotifier::activated,
                     [&session] { session->processPendingEvents(); });
  }

  posix::PosixFiles files;
  Platform machine{keys, surface, files};
  qt::QtShell shell;
  qt::MainWindow window(machine, shell);
  if (!window.load()) return 1;
  const std::string& settingsPath = window.form().record().SettingsPath;
  posix::SingleInstance instance(posix::instanceName(::geteuid(), settingsPath));
  if (instance.role() == posix::SingleInstance::Role::Another) {
    std::fprintf(stderr, "tollivane: already running with %s; its window is brought to the front\n",
                 settingsPath.c_str());
    return 0;
  }
  std::unique_ptr<QSocketNotifier> requests;
  if (instance.role() == posix::SingleInstance::Role::First) {
    requests = std::make_unique<QSocketNotifier>(instance.requestsFd(), QSocketNotifier::Read);
    QObject::connect(requests.get(), &QSocketNotifier::activated, [&instance, &window] {
      if (instance.takeRequests() > 0) qt::bringToFront(window);
    });
  }
  window.showCentred();
  if (!session) {
    shell.messageBox(
        "Hotkeys and the timer overlay need an X11 session; they are off in this session.",
        tollivane::app::MessageIcon::None, tollivane::app::kAppTitle);
  }
  return QApplication::exec();
}
