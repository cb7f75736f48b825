#include "frontend/qt/qt_application.hpp"

#include <QIcon>
#include <cstdio>
#include <cstdlib>

#include "frontend/qt/layout_builder.hpp"
#include "platform/x11/x11_errors.hpp"

namespace tollivane::frontend::qt {
namespace {

QtMessageHandler qtMessages = nullptr;

// Qt's own connection to the same X server may notice its loss first: say it our way, once.
void onQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("The X11 connection broke"))) {
    platform::x11::lostConnection();
  }
  if (qtMessages != nullptr) {
    qtMessages(type, context, message);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
  }
}

}  // namespace

QtApplication::QtApplication(int& argc, char** argv, platform::x11::X11Session* session,
                             const char* version, const char* appId)
    : starting_(std::in_place,
                qtStartFailure(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                               std::getenv("WAYLAND_DISPLAY"))),
      application_(argc, argv) {
  starting_.reset();
  if (session != nullptr) qtMessages = qInstallMessageHandler(onQtMessage);
  // The class of every window (WM_CLASS "tollivane", "Tollivane") and the desktop entry's
  // StartupWMClass agree, so a launcher shows the window under the program's icon.
  QApplication::setApplicationName(QStringLiteral("Tollivane"));
  QApplication::setApplicationVersion(QString::fromUtf8(version));
  QApplication::setDesktopFileName(QString::fromUtf8(appId));
  QApplication::setWindowIcon(programIcon());
  if (session != nullptr) session->reclaimErrorHandlers();
  captureKeys_ = X11CaptureKeys::installIfX11();
  if (session == nullptr) return;
  session->processPendingEvents();
  xEvents_ = std::make_unique<QSocketNotifier>(session->connectionFd(), QSocketNotifier::Read);
  QObject::connect(xEvents_.get(), &QSocketNotifier::activated,
                   [session] { session->processPendingEvents(); });
}

QtApplication::~QtApplication() = default;

}  // namespace tollivane::frontend::qt
