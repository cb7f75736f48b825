// The floor for Tollivane's idle cost: a Qt window that wakes exactly as the program's two
// timers must and does nothing else. Stopped, the 200 ms timer alone: 5 wakeups a second.
// Running ("running"), the 100 ms timer beside it, every second tick of which falls due with
// one of the 200 ms timer and shares its wakeup: 10 a second. One drift-free timer at the
// shorter interval is exactly that; two timers would wake apart whenever their ticks failed
// to coincide.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstring>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Empty timers"));
  window.resize(320, 200);
  window.show();
  const bool running = argc > 1 && std::strcmp(argv[1], "running") == 0;
  QTimer ticks;
  ticks.setTimerType(Qt::PreciseTimer);
  QObject::connect(&ticks, &QTimer::timeout, [] {});
  ticks.start(running ? 100 : 200);
  return QApplication::exec();
}
