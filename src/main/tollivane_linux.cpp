// tollivane: the Linux program. Qt shows the windows; Tollivane's own X connection reads
// the global key state and draws the overlay, so that all of them share one X server.
#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "platform/null_backends.hpp"
#include "platform/qt/layout_builder.hpp"
#include "platform/qt/main_window.hpp"
#include "platform/qt/qt_shell.hpp"
#include "platform/qt/x11_capture_keys.hpp"
#include "platform/x11/x11_session.hpp"

namespace {

bool isSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// Under Wayland the windows go through XWayland, on the X server that the key state and the
// overlay use. Returns false when there is nowhere to show a window.
bool chooseWindowSystem() {
  if (isSet("QT_QPA_PLATFORM")) return true;
  if (isSet("DISPLAY")) {
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    return true;
  }
  return isSet("WAYLAND_DISPLAY");
}

bool usesXcb() { return std::string_view(std::getenv("QT_QPA_PLATFORM")).starts_with("xcb"); }

}  // namespace

int main(int argc, char* argv[]) {
  using namespace tollivane::platform;
  if (!chooseWindowSystem()) {
    std::fprintf(stderr, "tollivane: no display: DISPLAY is not set, so no window can open\n");
    return 1;
  }
  std::unique_ptr<x11::X11Session> session = x11::X11Session::open();
  if (!session && usesXcb()) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr, "tollivane: cannot open the X display \"%s\"\n",
                 display != nullptr ? display : "");
    return 1;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tollivane"));
  QApplication::setWindowIcon(QIcon(qt::artworkPath("icon")));
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

  qt::QtShell shell;
  qt::MainWindow window(keys, surface, shell);
  if (!window.load()) return 1;
  window.showCentred();
  if (!session) {
    shell.messageBox(
        "Hotkeys and the timer overlay need an X11 session; they are off in this session.",
        MessageIcon::None, kAppTitle);
  }
  return QApplication::exec();
}
