// The capture control on a real X server: keys pressed through XTEST reach the control by
// their physical key, including presses that Qt itself would not deliver.
#include <QApplication>
#include <QMenuBar>
#include <QTest>
#include <cstdlib>

#include "frontend/qt/x11_capture_keys.hpp"
#include "window_harness.hpp"
#include "xvfb_keyboard.hpp"

using tollivane::testing::WindowHarness;
using tollivane::testing::XvfbKeyboard;

namespace {

XvfbKeyboard* keyboard = nullptr;

// Keysyms (X11/keysymdef.h).
constexpr unsigned long kShiftL = 0xffe1, kControlL = 0xffe3, kAltL = 0xffe9, kF5 = 0xffc2,
                        kKp7 = 0xffb7, kKpHome = 0xff95, kNumLock = 0xff7f, kOne = 0x31,
                        kSemicolon = 0x3b, kTab = 0xff09, kReturn = 0xff0d;

void tap(unsigned long keysym) {
  keyboard->down(keysym);
  keyboard->up(keysym);
}

}  // namespace

class X11CaptureTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase();
  void pressesReachTheBoxByTheirPhysicalKey();
  void consoleSwitchKeysAreCapturedAsTheirFunctionKey();
  void altAloneDoesNotOpenTheMenu();

 private:
  void openHotkeys(WindowHarness& h);
  std::unique_ptr<tollivane::frontend::qt::X11CaptureKeys> captureKeys_;
};

void X11CaptureTest::initTestCase() {
  captureKeys_ = tollivane::frontend::qt::X11CaptureKeys::installIfX11();
  QVERIFY(captureKeys_ != nullptr);
}

void X11CaptureTest::openHotkeys(WindowHarness& h) {
  QVERIFY(h.window->load());
  h.window->showCentred();
  h.window->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
  h.window->action("mnuHotkeys").trigger();
  h.window->capture("qvHotKey1").lineEdit().setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), &h.window->capture("qvHotKey1").lineEdit());
}

void X11CaptureTest::pressesReachTheBoxByTheirPhysicalKey() {
  WindowHarness h;
  openHotkeys(h);
  auto& box = h.window->capture("qvHotKey1").lineEdit();
  const auto& control = h.window->form().qvHotKey1();

  keyboard->down(kShiftL);
  tap(kOne);  // types "!", but the key is the 1 key
  keyboard->up(kShiftL);
  QTRY_COMPARE(box.text(), QString("SHIFT+1"));
  QCOMPARE(int(control.qvGetHotKeyCode()), 49);

  keyboard->down(kControlL);
  tap(kSemicolon);
  keyboard->up(kControlL);
  QTRY_COMPARE(box.text(), QString("CTRL+[186]"));

  // The keypad's 7 with Num Lock off and on: the keypad key either way.
  tap(kKp7);
  QTRY_COMPARE(box.text(), QString("Num7"));
  tap(kNumLock);
  QTRY_COMPARE(box.text(), QString("Num"));
  tap(kKpHome);
  QTRY_COMPARE(box.text(), QString("Num7"));
  tap(kNumLock);

  // Tab and Enter are keys for the control, not focus moves or button presses.
  tap(kTab);
  QTRY_COMPARE(box.text(), QString());
  QCOMPARE(QApplication::focusWidget(), &box);
  keyboard->down(kControlL);
  tap(kReturn);
  keyboard->up(kControlL);
  QTRY_COMPARE(box.text(), QString("CTRL"));
  QCOMPARE(int(control.qvGetHotKeyShift()), 2);
}

void X11CaptureTest::consoleSwitchKeysAreCapturedAsTheirFunctionKey() {
  QVERIFY(keyboard->dropConsoleSwitch(5));
  WindowHarness h;
  openHotkeys(h);
  keyboard->down(kControlL);
  keyboard->down(kAltL);
  tap(kF5);  // arrives as XF86Switch_VT_5
  keyboard->up(kAltL);
  keyboard->up(kControlL);
  QTRY_COMPARE(h.window->capture("qvHotKey1").lineEdit().text(), QString("CTRL+ALT+F5"));
  QCOMPARE(int(h.window->form().qvHotKey1().qvGetHotKeyCode()), 116);
  QCOMPARE(int(h.window->form().qvHotKey1().qvGetHotKeyShift()), 6);
}

void X11CaptureTest::altAloneDoesNotOpenTheMenu() {
  WindowHarness h;
  openHotkeys(h);
  tap(kAltL);
  QTRY_COMPARE(h.window->capture("qvHotKey1").lineEdit().text(), QString("ALT"));
  QTest::qWait(200);
  QCOMPARE(QApplication::focusWidget(), &h.window->capture("qvHotKey1").lineEdit());
  QVERIFY(!h.window->menuBar()->hasFocus());
  QVERIFY(QApplication::activePopupWidget() == nullptr);
}

int main(int argc, char* argv[]) {
  XvfbKeyboard xvfb;
  if (!xvfb.ok()) {
    std::fprintf(stderr, "x11_capture_test: Xvfb could not be started\n");
    return 1;
  }
  keyboard = &xvfb;
  setenv("DISPLAY", xvfb.name().c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  QApplication app(argc, argv);
  X11CaptureTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "x11_capture_test.moc"
