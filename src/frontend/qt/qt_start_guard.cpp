#include "frontend/qt/qt_start_guard.hpp"

#include <QDir>
#include <QLibraryInfo>
#include <QString>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace tollivane::frontend::qt {
namespace {

QtStartGuard* active = nullptr;  // the message handler is a plain function

}  // namespace

QtStartGuard::QtStartGuard(std::string failure) : failure_(std::move(failure)) {
  active = this;
  std::fflush(stderr);
  held_ = std::tmpfile();
  standardError_ = held_ ? ::dup(STDERR_FILENO) : -1;
  if (standardError_ >= 0) ::dup2(::fileno(held_), STDERR_FILENO);
  previous_ = qInstallMessageHandler(&QtStartGuard::onMessage);
}

QtStartGuard::~QtStartGuard() {
  qInstallMessageHandler(previous_);
  active = nullptr;
  restoreStandardError();
  if (!held_) return;
  std::rewind(held_);
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, held_)) > 0;) {
    std::fwrite(buffer, 1, got, stderr);
  }
  std::fclose(held_);
}

void QtStartGuard::restoreStandardError() {
  std::fflush(stderr);
  if (standardError_ < 0) return;
  ::dup2(standardError_, STDERR_FILENO);
  ::close(standardError_);
  standardError_ = -1;
}

void QtStartGuard::onMessage(QtMsgType type, const QMessageLogContext& context,
                             const QString& message) {
  if (type == QtFatalMsg) {
    active->restoreStandardError();
    std::fprintf(stderr, "%s\n", active->failure_.c_str());
    std::fflush(stderr);
    // Not exit(): Qt is half made, and its global destructors would run over it.
    std::_Exit(1);
  }
  if (active->previous_) {
    active->previous_(type, context, message);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
  }
}

bool qtHasWaylandPlugin() {
  QStringList folders;
  for (const char* variable : {"QT_QPA_PLATFORM_PLUGIN_PATH", "QT_PLUGIN_PATH"}) {
    const QString value = qEnvironmentVariable(variable);
    for (const QString& folder : value.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
      folders << folder << folder + QStringLiteral("/platforms");
    }
  }
  folders << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
  for (const QString& folder : folders) {
    if (!QDir(folder).entryList({QStringLiteral("libqwayland*")}, QDir::Files).isEmpty()) {
      return true;
    }
  }
  return false;
}

std::string qtStartFailure(std::string_view platform, const char* display,
                           const char* waylandDisplay) {
  const auto named = [](const char* value, const char* fallback) {
    return "\"" + std::string(value != nullptr && *value != '\0' ? value : fallback) + "\"";
  };
  if (platform.starts_with("xcb")) {
    return "tollivane: cannot open a window on the X display " + named(display, "") +
           ": it does not answer or takes no more clients";
  }
  if (platform.starts_with("wayland")) {
    return "tollivane: cannot open a window on the Wayland display " +
           named(waylandDisplay, "wayland-0");
  }
  return "tollivane: Qt cannot open a window with the platform " + named(platform.data(), "");
}

}  // namespace tollivane::frontend::qt
