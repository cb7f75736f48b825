// A native Wayland stand-in for a full-screen game: one colour over the whole screen, never
// repainted after its first frame. Prints "ready <width>x<height>" once that frame is shown,
// then one line for each key it gets ("press F5", "release F5"), so a script can tell whether
// the keys typed into it still reached it. Run with QT_QPA_PLATFORM=wayland.
//   wayland_game <seconds>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPainter>
#include <QRasterWindow>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

class Game : public QRasterWindow {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter(this).fillRect(QRect(QPoint(), size()), QColor(0x30, 0x50, 0x70));
    if (shown_) return;
    shown_ = true;
    // After the frame is handed on, so the script's screenshot finds it.
    QTimer::singleShot(200, this, [this] { say("ready %dx%d", width(), height()); });
  }
  void keyPressEvent(QKeyEvent* event) override { key("press", event); }
  void keyReleaseEvent(QKeyEvent* event) override { key("release", event); }

 private:
  template <typename... Args>
  static void say(const char* format, Args... args) {
    std::printf(format, args...);
    std::printf("\n");
    std::fflush(stdout);
  }
  static void key(const char* what, const QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    say("%s %s", what, QKeySequence(event->key()).toString().toUtf8().constData());
  }
  bool shown_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  Game game;
  game.setTitle("Native game");
  game.showFullScreen();
  QTimer::singleShot(static_cast<int>(argc > 1 ? std::atof(argv[1]) * 1000 : 600000), &app,
                     &QGuiApplication::quit);
  return app.exec();
}
