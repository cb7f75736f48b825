// The main window: its geometry at 96 dpi, its menu through the panel states, its focus
// order, and the two save commands writing the real settings file.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "frontend/qt/kde_hotkey_notice.hpp"
#include "patience.hpp"
#include "window_harness.hpp"

using tollivane::frontend::qt::kdeHotkeyNotice;
using tollivane::testing::WindowHarness;

namespace {

// Where Tab would go from `w`: the next widget in the chain that takes focus by Tab.
QWidget* nextTabStop(QWidget* w) {
  do {
    w = w->nextInFocusChain();
  } while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible() || !w->isEnabled());
  return w;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void controlsSitWherePlacedInPixels_data();
  void controlsSitWherePlacedInPixels();
  void windowHasAFixedClientAreaAndNoMaximise();
  void startsWithTheBannerAndBothPanelsHidden();
  void menuFollowsEveryPanelTransition_data();
  void menuFollowsEveryPanelTransition();
  void focusRunsThroughThePanelInItsOrder();
  void saveKeysWritesTheSettingsFile();
  void saveXYWritesTheSettingsFileOrRefuses_data();
  void saveXYWritesTheSettingsFileOrRefuses();
  void startsFromTheSettingsFile();
  void overlayWindowEntryTogglesAndSaves();
  void anUnwritableSettingsFileShowsAMessage();
  void nothingRunsAfterExit();
  void anUncaughtRunTimeErrorIsReportedAndEnds();
  void kdeKeepingAHotkeyIsSaidBelowThePanelsUntilItNoLongerDoes();
  void aKwinrcFarLargerThanKwinWritesIsNotRead();
};

void MainWindowTest::controlsSitWherePlacedInPixels_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("geometry");  // relative to the parent, at 96 dpi
  QTest::newRow("Frame1") << "Frame1" << QRect(20, 10, 271, 151);
  QTest::newRow("Frame2") << "Frame2" << QRect(20, 10, 271, 151);
  QTest::newRow("Image1") << "Image1" << QRect(27, 20, 257, 140);
  QTest::newRow("Label4") << "Label4" << QRect(117, 180, 82, 13);
  QTest::newRow("Label1") << "Label1" << QRect(20, 20, 25, 13);
  QTest::newRow("Label2") << "Label2" << QRect(20, 50, 33, 13);
  QTest::newRow("Label3") << "Label3" << QRect(20, 80, 25, 13);
  QTest::newRow("qvHotKey1") << "qvHotKey1" << QRect(70, 20, 151, 21);
  QTest::newRow("qvHotKey2") << "qvHotKey2" << QRect(70, 50, 151, 21);
  QTest::newRow("qvHotKey3") << "qvHotKey3" << QRect(70, 80, 151, 21);
  QTest::newRow("Command1") << "Command1" << QRect(60, 120, 71, 21);
  QTest::newRow("Command2") << "Command2" << QRect(150, 120, 71, 21);
  QTest::newRow("Label5") << "Label5" << QRect(50, 43, 7, 13);
  QTest::newRow("Label6") << "Label6" << QRect(50, 83, 7, 13);
  QTest::newRow("txtX") << "txtX" << QRect(80, 40, 121, 21);
  QTest::newRow("txtY") << "txtY" << QRect(80, 80, 121, 21);
  QTest::newRow("Command3") << "Command3" << QRect(30, 120, 81, 21);
  QTest::newRow("Command4") << "Command4" << QRect(160, 120, 81, 21);
}

void MainWindowTest::controlsSitWherePlacedInPixels() {
  QFETCH(QString, name);
  QFETCH(QRect, geometry);
  WindowHarness h;
  const QWidget& w = h.window->widgets().widget(name.toStdString());
  if (qobject_cast<const QLabel*>(&w) == nullptr || name == "Image1") {
    QCOMPARE(w.geometry(), geometry);
    return;
  }
  // A label keeps its place and may grow to show all of its caption in this font.
  QCOMPARE(w.pos(), geometry.topLeft());
  QVERIFY(w.width() >= geometry.width() && w.height() >= geometry.height());
  QVERIFY(w.width() >= w.sizeHint().width());
}

void MainWindowTest::windowHasAFixedClientAreaAndNoMaximise() {
  WindowHarness h;
  h.window->show();
  QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
  QWidget* client = h.window->centralWidget();
  QCOMPARE(client->size(), QSize(312, 197));
  QCOMPARE(h.window->minimumSize(), h.window->maximumSize());
  QCOMPARE(h.window->windowTitle(), QString("Tollivane"));
  QVERIFY(!h.window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  QVERIFY(h.window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  h.window->resize(600, 500);
  QCOMPARE(client->size(), QSize(312, 197));
  QCOMPARE(client->palette().color(QPalette::Window), QColor(0, 0, 0));
}

void MainWindowTest::startsWithTheBannerAndBothPanelsHidden() {
  WindowHarness h;
  QVERIFY(h.window->load());
  h.window->show();
  const auto& w = h.window->widgets();
  QVERIFY(!w.widget("Frame1").isVisible());
  QVERIFY(!w.widget("Frame2").isVisible());
  QVERIFY(w.widget("Image1").isVisible());
  QCOMPARE(w.as<QLabel>("Image1").pixmap().size(), QSize(257, 140));
  QVERIFY(w.widget("Label4").isVisible());
  QVERIFY(!w.as<QLabel>("Label4").text().isEmpty());
  // Start-up without a file: the defaults, and no file written.
  QCOMPARE(h.window->capture("qvHotKey1").lineEdit().text(), QString("F5"));
  QCOMPARE(h.window->capture("qvHotKey3").lineEdit().text(), QString("F7"));
  QCOMPARE(w.as<QLineEdit>("txtX").text(), QString("25"));
  QCOMPARE(w.as<QLineEdit>("txtY").text(), QString("315"));
  QVERIFY(!QFile::exists(QString::fromStdString(h.iniPath())));
  QVERIFY(h.shown.empty());
}

void MainWindowTest::menuFollowsEveryPanelTransition_data() {
  QTest::addColumn<QStringList>("clicks");
  QTest::addColumn<QString>("state");  // None, Hotkeys or Position after the clicks
  QTest::newRow("none") << QStringList{} << "None";
  QTest::newRow("hotkeys") << QStringList{"mnuHotkeys"} << "Hotkeys";
  QTest::newRow("hotkeys twice") << QStringList{"mnuHotkeys", "mnuHotkeys"} << "None";
  QTest::newRow("position") << QStringList{"mnuPosition"} << "Position";
  QTest::newRow("position twice") << QStringList{"mnuPosition", "mnuPosition"} << "None";
  QTest::newRow("hotkeys then position") << QStringList{"mnuHotkeys", "mnuPosition"} << "Position";
  QTest::newRow("position then hotkeys") << QStringList{"mnuPosition", "mnuHotkeys"} << "Hotkeys";
  QTest::newRow("there and back") << QStringList{"mnuHotkeys", "mnuPosition", "mnuPosition"}
                                  << "None";
}

void MainWindowTest::menuFollowsEveryPanelTransition() {
  QFETCH(QStringList, clicks);
  QFETCH(QString, state);
  WindowHarness h;
  QVERIFY(h.window->load());
  h.window->show();
  for (const QString& name : clicks) h.window->action(name.toStdString()).trigger();

  const bool hotkeys = state == "Hotkeys", position = state == "Position";
  const auto& w = h.window->widgets();
  QCOMPARE(w.widget("Frame1").isVisible(), hotkeys);
  QCOMPARE(w.widget("Frame2").isVisible(), position);
  QVERIFY(w.widget("Label4").isVisible());
  QAction& mnuHotkeys = h.window->action("mnuHotkeys");
  QAction& mnuPosition = h.window->action("mnuPosition");
  QCOMPARE(mnuHotkeys.isChecked(), hotkeys);
  QCOMPARE(mnuHotkeys.text(), QString(hotkeys ? "Hide hotkeys" : "Edit hotkeys"));
  QCOMPARE(mnuPosition.isChecked(), position);
  QCOMPARE(mnuPosition.text(), QString(position ? "Hide positions" : "Edit positions"));

  // A shown panel covers the banner completely: nothing of it can be seen.
  const QImage shot = h.window->centralWidget()->grab().toImage();
  const QImage banner = w.as<QLabel>("Image1").pixmap().toImage();
  const QRect at = w.widget("Image1").geometry();
  bool bannerSeen = true;
  for (int y = 0; y < banner.height() && bannerSeen; y += 7) {
    for (int x = 0; x < banner.width() && bannerSeen; x += 7) {
      bannerSeen = shot.pixel(at.x() + x, at.y() + y) == banner.pixel(x, y);
    }
  }
  QCOMPARE(bannerSeen, state == "None");
}

void MainWindowTest::focusRunsThroughThePanelInItsOrder() {
  WindowHarness h;
  QVERIFY(h.window->load());
  h.window->show();
  QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
  h.window->action("mnuHotkeys").trigger();
  const auto& w = h.window->widgets();
  w.widget("Command2").setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), &w.widget("Command1"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), &h.window->capture("qvHotKey3").lineEdit());
  // The core reads the pads for the box with the focus.
  QCOMPARE(h.window->form().focusedCapture(), &h.window->form().qvHotKey3());
  // In a capture box Tab is a key to capture, not a move: the box clears and keeps the focus.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), &h.window->capture("qvHotKey3").lineEdit());
  QCOMPARE(h.window->capture("qvHotKey3").lineEdit().text(), QString());
  QCOMPARE(int(h.window->form().qvHotKey3().qvGetHotKeyCode()), 0);
  // The rest of the chain, skipping the hidden position panel.
  QWidget* next = nextTabStop(QApplication::focusWidget());
  QCOMPARE(next, &h.window->capture("qvHotKey2").lineEdit());
  QCOMPARE(nextTabStop(next), &h.window->capture("qvHotKey1").lineEdit());

  h.window->action("mnuPosition").trigger();
  w.widget("txtX").setFocus();
  QCOMPARE(h.window->form().focusedCapture(), nullptr);
  const char* const order[] = {"txtY", "Command3", "Command4"};
  for (const char* name : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), &w.widget(name));
  }
}

void MainWindowTest::saveKeysWritesTheSettingsFile() {
  WindowHarness h;
  QVERIFY(h.window->load());
  h.window->show();
  h.window->action("mnuHotkeys").trigger();
  QTest::keyClick(&h.window->capture("qvHotKey1").lineEdit(), Qt::Key_F5,
                  Qt::ControlModifier | Qt::AltModifier);
  QTest::keyClick(&h.window->capture("qvHotKey2").lineEdit(), Qt::Key_Semicolon, Qt::ShiftModifier);
  QTest::mouseClick(&h.window->widgets().widget("Command2"), Qt::LeftButton);
  const std::string ini = h.readIni();
  for (const char* line :
       {"hotkey1=116", "hotshift1=6", "hotkey2=186", "hotshift2=1", "hotkey3=118", "hotshift3=0"}) {
    QVERIFY2(ini.find(line) != std::string::npos, line);
  }
  // The poller works from the new bindings at once.
  QCOMPARE(int(h.window->form().record().HotKeyCodes[0]), 116);
  QCOMPARE(int(h.window->form().record().HotKeyShifts[1]), 1);
  QVERIFY(h.shown.empty());
}

void MainWindowTest::saveXYWritesTheSettingsFileOrRefuses_data() {
  QTest::addColumn<QString>("x");
  QTest::addColumn<QString>("y");
  QTest::addColumn<QString>("message");  // "" when saved
  QTest::addColumn<QString>("stored");   // what the file then holds under [rect]
  QTest::newRow("in range") << "100"
                            << "200"
                            << ""
                            << "X=100\r\nY=200";
  QTest::newRow("both bounds") << "640"
                               << "480"
                               << ""
                               << "X=640\r\nY=480";
  QTest::newRow("X too far") << "641"
                             << "200"
                             << "X = {0; 640}\nNot saved."
                             << "";
  QTest::newRow("Y too far") << "100"
                             << "500"
                             << "Y = {0; 480}\nNot saved."
                             << "";
}

void MainWindowTest::saveXYWritesTheSettingsFileOrRefuses() {
  QFETCH(QString, x);
  QFETCH(QString, y);
  QFETCH(QString, message);
  QFETCH(QString, stored);
  WindowHarness h;
  QVERIFY(h.window->load());
  h.window->show();
  h.window->action("mnuPosition").trigger();
  auto& txtX = h.window->widgets().as<QLineEdit>("txtX");
  auto& txtY = h.window->widgets().as<QLineEdit>("txtY");
  txtX.selectAll();
  QTest::keyClicks(&txtX, x);
  txtY.selectAll();
  QTest::keyClicks(&txtY, y);
  QTest::mouseClick(&h.window->widgets().widget("Command4"), Qt::LeftButton);
  if (message.isEmpty()) {
    QVERIFY(h.shown.empty());
    QVERIFY2(h.readIni().find(stored.toStdString()) != std::string::npos, h.readIni().c_str());
    QCOMPARE(int(h.window->form().record().PosX), x.toInt());
    return;
  }
  QCOMPARE(int(h.shown.size()), 1);
  QCOMPARE(h.shown[0].text, message);
  QCOMPARE(h.shown[0].title, QString("Tollivane"));
  QCOMPARE(h.shown[0].icon, QMessageBox::NoIcon);
  QCOMPARE(h.shown[0].modality, Qt::ApplicationModal);
  QCOMPARE(h.shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  QCOMPARE(int(h.window->form().record().PosX), 25);
}

void MainWindowTest::startsFromTheSettingsFile() {
  WindowHarness h("[main]\r\nhotkey1=36\r\nhotshift1=5\r\n[rect]\r\nX=40\r\nY=50\r\n");
  QVERIFY(h.window->load());
  QCOMPARE(h.window->capture("qvHotKey1").lineEdit().text(), QString("ALT+SHIFT+Home"));
  QCOMPARE(h.window->widgets().as<QLineEdit>("txtX").text(), QString("40"));
  QCOMPARE(h.window->widgets().as<QLineEdit>("txtY").text(), QString("50"));
}

void MainWindowTest::anUnwritableSettingsFileShowsAMessage() {
  WindowHarness h;
  // A folder where the file should be: it cannot be replaced.
  QVERIFY(QDir(h.folder.path()).mkdir("Tollivane.ini"));
  QVERIFY(h.window->load());
  h.window->show();
  h.window->action("mnuHotkeys").trigger();
  QTest::mouseClick(&h.window->widgets().widget("Command2"), Qt::LeftButton);
  QCOMPARE(int(h.shown.size()), 1);
  QVERIFY(!h.shown[0].text.isEmpty());
  QCOMPARE(h.endedWith, -1);
  QVERIFY(h.window->isVisible());
}

void MainWindowTest::nothingRunsAfterExit() {
  WindowHarness h;
  QVERIFY(h.window->load());
  h.window->show();
  QTRY_VERIFY_WITH_TIMEOUT(h.keys.queries > 0, kPatienceMs);  // Timer1 is ticking
  h.window->action("mnuExit").trigger();
  QCOMPARE(h.endedWith, 0);
  QVERIFY(!h.window->timer("Timer1").enabled());
  QVERIFY(!h.window->timer("Timer2").enabled());
  // Timers switched on again and clicks: none reaches a handler any more.
  h.window->timer("Timer1").setEnabled(true);
  const int queries = h.keys.queries;
  h.window->action("mnuHotkeys").trigger();
  QTest::qWait(500);
  QCOMPARE(h.keys.queries, queries);
  QCOMPARE(h.window->action("mnuHotkeys").text(), QString("Edit hotkeys"));
  QVERIFY(!h.window->action("mnuHotkeys").isChecked());  // the menu's own toggle undone
}

// The entry's check mark is the setting itself: Qt's own toggle of a checkable action must not
// leave it one step off the setting, and each choice is in the file at once.
void MainWindowTest::overlayWindowEntryTogglesAndSaves() {
  WindowHarness h;
  QVERIFY(h.window->load());
  h.window->show();
  QAction& entry = h.window->action("mnuOverlayWindow");
  QVERIFY(!entry.isChecked());
  for (const bool on : {true, false, true}) {
    entry.trigger();
    QCOMPARE(entry.isChecked(), on);
    QCOMPARE(h.window->form().record().OverlayWindow, on);
    const std::string stored = on ? "window=1" : "window=0";
    QVERIFY2(h.readIni().find(stored) != std::string::npos, h.readIni().c_str());
  }
  QVERIFY(h.shown.empty());
  QCOMPARE(entry.text(), QString("Overlay window"));
}

void MainWindowTest::anUncaughtRunTimeErrorIsReportedAndEnds() {
  WindowHarness h;
  QVERIFY(h.window->load());
  h.window->show();
  QTRY_VERIFY_WITH_TIMEOUT(h.keys.queries > 0, kPatienceMs);  // Timer1 is ticking
  // The box waits for the user in a loop of its own: no timer reaches a handler meanwhile.
  int queriesInBox = -1;
  h.shell.setMessageBoxPresenter([&](QMessageBox& box) {
    h.shown.push_back(
        {box.windowTitle(), box.text(), box.icon(), box.windowModality(), box.standardButtons()});
    const int queries = h.keys.queries;
    QTest::qWait(600);
    queriesInBox = h.keys.queries - queries;
  });
  h.window->events().run([] { throw tollivane::RuntimeError(6, "Overflow"); });
  QCOMPARE(queriesInBox, 0);
  QCOMPARE(int(h.shown.size()), 1);
  QCOMPARE(h.shown[0].text, QString("Run-time error '6':\n\nOverflow"));
  QCOMPARE(h.shown[0].title, QString("Tollivane"));
  QCOMPARE(h.endedWith, 1);
  QVERIFY(h.shell.ended());
}

void MainWindowTest::kdeKeepingAHotkeyIsSaidBelowThePanelsUntilItNoLongerDoes() {
  QTemporaryDir config;
  const std::string kwinrc = "[Xwayland]\nXwaylandEavesdrops=Combinations\n";
  std::ofstream(config.path().toStdString() + "/kwinrc") << kwinrc;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  qputenv("XDG_CURRENT_DESKTOP", "KDE");
  qputenv("WAYLAND_DISPLAY", "wayland-0");
  WindowHarness h("[main]\nhotkey1=116\nhotshift1=2\nhotkey2=117\nhotshift2=4\n");
  QVERIFY(h.window->load());
  h.window->showCentred();
  const auto* line = h.window->findChild<QLabel*>("lblDesktop");
  QVERIFY(line && line->isVisible() && line->text().contains("without Ctrl or Alt"));
  QTRY_VERIFY_WITH_TIMEOUT(
      h.window->statusBar()->y() > h.window->centralWidget()->geometry().bottom(), kPatienceMs);
  QCOMPARE(h.window->centralWidget()->size(), QSize(312, 197));

  h.window->action("mnuHotkeys").trigger();  // the last binding given Ctrl too
  QTest::keyClick(&h.window->capture("qvHotKey3").lineEdit(), Qt::Key_F7, Qt::ControlModifier);
  QTest::mouseClick(&h.window->widgets().widget("Command2"), Qt::LeftButton);
  QVERIFY(!line->isVisible());
  for (const char* name : {"XDG_CURRENT_DESKTOP", "WAYLAND_DISPLAY", "XDG_CONFIG_HOME"}) {
    qunsetenv(name);
  }
}

// Read at every start: a huge one would cost seconds and hundreds of megabytes there. Not read,
// it is KWin's default, as no file is.
void MainWindowTest::aKwinrcFarLargerThanKwinWritesIsNotRead() {
  QTemporaryDir config;
  const std::string path = config.path().toStdString() + "/kwinrc";
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  qputenv("XDG_CURRENT_DESKTOP", "KDE");
  qputenv("WAYLAND_DISPLAY", "wayland-0");
  const std::array<std::int16_t, 3> codes{116, 117, 118};
  const std::array<std::int16_t, 3> shifts{0, 0, 0};
  const std::string absent = kdeHotkeyNotice(codes, shifts);
  std::ofstream(path) << "[Xwayland]\nXwaylandEavesdrops=All\n";
  QCOMPARE(kdeHotkeyNotice(codes, shifts), std::string());
  std::ofstream(path) << "[Xwayland]\nXwaylandEavesdrops=All\n" << std::string(2 << 20, '#');
  QVERIFY(!absent.empty());
  QCOMPARE(kdeHotkeyNotice(codes, shifts), absent);
  for (const char* name : {"XDG_CURRENT_DESKTOP", "WAYLAND_DISPLAY", "XDG_CONFIG_HOME"}) {
    qunsetenv(name);
  }
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
