// The About window: modal to the main window, the main window's timers ticking meanwhile,
// closed by OK, Enter, Esc or the close button; and the program's message boxes.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "frontend/qt/about_dialog.hpp"
#include "frontend/qt/message_boxes.hpp"
#include "patience.hpp"
#include "window_harness.hpp"

using tollivane::frontend::qt::AboutDialog;
using tollivane::testing::WindowHarness;

namespace {

// Runs `inside` once the About window is up, from within its modal loop.
void openAbout(WindowHarness& h, const std::function<void(AboutDialog&)>& inside) {
  bool ran = false;
  const auto check = [&] {
    QTRY_VERIFY_WITH_TIMEOUT(h.shell.aboutWindow() != nullptr, kPatienceMs);
    QVERIFY(QTest::qWaitForWindowActive(h.shell.aboutWindow()));
    inside(*h.shell.aboutWindow());
    ran = true;
  };
  QTimer::singleShot(0, [&] {
    check();
    // A failed check must not leave the modal loop running.
    if (AboutDialog* left = h.shell.aboutWindow(); left != nullptr && !ran) left->done(0);
  });
  h.window->action("mnuAbout").trigger();  // returns when the window has closed
  QVERIFY(ran);
  QVERIFY(h.shell.aboutWindow() == nullptr);
}

}  // namespace

class AboutWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void isModalToTheMainWindowWhileTimersTick();
  void closesBy_data();
  void closesBy();
  void showsTheSameTextEachTime();
  void controlsSitWherePlacedInPixels();
  void messageBoxesAreOkOnlyAndApplicationModal();
  void theRealMessageBoxReturnsWhenClosed();
};

void AboutWindowTest::isModalToTheMainWindowWhileTimersTick() {
  WindowHarness h;
  QVERIFY(h.window->load());
  h.window->show();
  openAbout(h, [&](AboutDialog& about) {
    QCOMPARE(QApplication::activeModalWidget(), &about);
    QVERIFY(about.isModal());
    QCOMPARE(about.parentWidget(), h.window.get());
    QCOMPARE(about.windowTitle(), QString("About Tollivane"));
    QCOMPARE(about.size(), QSize(384, 243));
    QVERIFY(!about.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QCOMPARE(QApplication::focusWidget(), &about.widgets().widget("cmdOK"));
    // Timer1 goes on polling the keys while the window is open.
    const int before = h.keys.queries;
    QTRY_VERIFY2_WITH_TIMEOUT(h.keys.queries >= before + 2 * 3,
                              "Timer1 stopped while About was open", kPatienceMs);
    about.widgets().as<QPushButton>("cmdOK").click();
  });
  QVERIFY(h.shown.empty());
}

void AboutWindowTest::closesBy_data() {
  QTest::addColumn<int>("how");
  QTest::newRow("OK clicked") << 0;
  QTest::newRow("Enter") << 1;
  QTest::newRow("Esc") << 2;
  QTest::newRow("close button") << 3;
}

void AboutWindowTest::closesBy() {
  QFETCH(int, how);
  WindowHarness h;
  QVERIFY(h.window->load());
  h.window->show();
  openAbout(h, [&](AboutDialog& about) {
    switch (how) {
      case 0:
        QTest::mouseClick(&about.widgets().widget("cmdOK"), Qt::LeftButton);
        break;
      case 1:
        QTest::keyClick(&about, Qt::Key_Return);
        break;
      case 2:
        QTest::keyClick(&about, Qt::Key_Escape);
        break;
      default:
        about.close();
        break;
    }
  });
  QCOMPARE(h.endedWith, -1);
  QVERIFY(h.window->isVisible());
}

void AboutWindowTest::showsTheSameTextEachTime() {
  WindowHarness h;
  QVERIFY(h.window->load());
  h.window->show();
  QStringList texts;
  for (int i = 0; i < 2; ++i) {
    openAbout(h, [&](AboutDialog& about) {
      texts << about.widgets().as<QLabel>("lblDescription").text();
      about.accept();
    });
  }
  QCOMPARE(texts[0], texts[1]);
  const QStringList lines = texts[0].split('\n');
  QCOMPARE(lines.size(), 8);
  QVERIFY(lines[1].isEmpty() && lines[3].isEmpty() && lines[6].isEmpty());
  QCOMPARE(lines[4], QString("If you want to ask me about something - just mail me:"));
  QCOMPARE(lines[7], QString("Thank you for using my products!"));
}

void AboutWindowTest::controlsSitWherePlacedInPixels() {
  WindowHarness h;
  AboutDialog about(h.window.get(), h.shell, 96.0);
  const auto& w = about.widgets();
  QCOMPARE(w.widget("Frame1").geometry(), QRect(10, 10, 361, 191));
  QCOMPARE(w.widget("Image1").geometry(), QRect(10, 10, 32, 32));
  QCOMPARE(w.as<QLabel>("Image1").pixmap().size(), QSize(32, 32));
  QCOMPARE(w.widget("lblDescription").geometry(), QRect(70, 65, 259, 116));
  QCOMPARE(w.widget("cmdOK").geometry(), QRect(283, 210, 84, 23));
  // One-line labels keep their place and size, growing only to fit their caption.
  const std::pair<const char*, QRect> labels[] = {{"lblTitle", QRect(70, 16, 259, 12)},
                                                  {"lblVersion", QRect(70, 40, 259, 15)},
                                                  {"Label1", QRect(10, 220, 82, 13)}};
  for (const auto& [name, rect] : labels) {
    const QWidget& label = w.widget(name);
    QCOMPARE(label.pos(), rect.topLeft());
    QVERIFY(label.width() >= rect.width() && label.height() >= rect.height());
    QVERIFY(label.width() >= label.sizeHint().width());
    QVERIFY(label.height() < rect.height() + 12);
  }
  QVERIFY(w.as<QPushButton>("cmdOK").isDefault());
  QCOMPARE(w.as<QLabel>("lblTitle").text(), QString("Tollivane :: Timer for StarCraft"));
}

void AboutWindowTest::messageBoxesAreOkOnlyAndApplicationModal() {
  using tollivane::app::MessageIcon;
  const auto about = tollivane::frontend::qt::makeMessageBox(
      "qvHotKey\r\nControl for working with hot keys.", MessageIcon::Information,
      ":: qvHotKey :: About", nullptr);
  QCOMPARE(about->windowTitle(), QString(":: qvHotKey :: About"));
  QCOMPARE(about->icon(), QMessageBox::Information);
  QCOMPARE(about->text(), QString("qvHotKey\nControl for working with hot keys."));
  QCOMPARE(about->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
  QCOMPARE(about->windowModality(), Qt::ApplicationModal);
  const auto plain = tollivane::frontend::qt::makeMessageBox("X = {0; 640}\r\nNot saved.",
                                                             MessageIcon::None, "", nullptr);
  QCOMPARE(plain->windowTitle(), QString("Tollivane"));
  QCOMPARE(plain->icon(), QMessageBox::NoIcon);
}

void AboutWindowTest::theRealMessageBoxReturnsWhenClosed() {
  tollivane::frontend::qt::QtShell shell;  // the default presenter: a real modal box
  QString seen;
  QTimer::singleShot(0, [&] {
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeModalWidget() != nullptr, kPatienceMs);
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QVERIFY(box != nullptr);
    seen = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  shell.messageBox("Not saved.", tollivane::app::MessageIcon::None, "Tollivane");
  QCOMPARE(seen, QString("Not saved."));
}

QTEST_MAIN(AboutWindowTest)
#include "about_window_test.moc"
#include "app/window_controls.hpp"
