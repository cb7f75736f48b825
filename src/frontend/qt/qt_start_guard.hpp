// Qt reports a platform it cannot open (a display that is dead or takes no more clients, a
// plugin that is not installed) with qFatal, which aborts, after Xlib, libwayland and Qt
// itself have written their own lines. While the application object is made, standard error
// is held back and a fatal message ends the program with our one line and exit status 1;
// after a good start what was held back is written out.
#pragma once

#include <QtGlobal>
#include <cstdio>
#include <string>
#include <string_view>

namespace tollivane::frontend::qt {

class QtStartGuard {
 public:
  // `failure`: the line to print, without the newline, should Qt fail to start.
  explicit QtStartGuard(std::string failure);
  ~QtStartGuard();
  QtStartGuard(const QtStartGuard&) = delete;
  QtStartGuard& operator=(const QtStartGuard&) = delete;

 private:
  static void onMessage(QtMsgType type, const QMessageLogContext& context, const QString& message);

  void restoreStandardError();

  std::string failure_;
  int standardError_ = -1;  // the real one, while ours goes to `held_`
  std::FILE* held_ = nullptr;
  QtMessageHandler previous_;
};

// Whether Qt can find its Wayland platform plugin (Debian's qt6-wayland).
bool qtHasWaylandPlugin();

// The line said when Qt cannot start on `platform` (QT_QPA_PLATFORM as Qt will read it); the
// display variables may be null.
std::string qtStartFailure(std::string_view platform, const char* display,
                           const char* waylandDisplay);

}  // namespace tollivane::frontend::qt
