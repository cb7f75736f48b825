// The floor for Tollivane's idle cost: a Qt window with the same two timers doing nothing,
// only the 200 ms one, or ("running") the 100 ms one beside it.
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
  QTimer timer1;
  QTimer timer2;
  for (QTimer* timer : {&timer1, &timer2}) {
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, [] {});
  }
  timer1.start(200);
  if (argc > 1 && std::strcmp(argv[1], "running") == 0) timer2.start(100);
  return QApplication::exec();
}
