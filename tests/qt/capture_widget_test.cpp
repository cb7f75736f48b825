// The capture control in the window: real key events in its box give the control's texts,
// and the box takes no text other than what the control puts there.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

#include "frontend/qt/hotkey_capture_widget.hpp"
#include "window_harness.hpp"

using tollivane::frontend::qt::HotKeyCaptureWidget;
using tollivane::testing::WindowHarness;

class CaptureWidgetTest : public QObject {
  Q_OBJECT
 private slots:
  void keyPressesGiveTheirTexts_data();
  void keyPressesGiveTheirTexts();
  void aModifierAloneAndThenBackspace();
  void typedAndPastedTextIsRefused();
  void theBoxFillsTheControlAtAnySize();
  void fontPropertiesReachTheBox();
};

void CaptureWidgetTest::keyPressesGiveTheirTexts_data() {
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("modifiers");
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("code");
  QTest::addColumn<int>("shift");
  const int ctrl = Qt::ControlModifier, alt = Qt::AltModifier, shift = Qt::ShiftModifier,
            keypad = Qt::KeypadModifier;
  QTest::newRow("Ctrl+Alt+F5") << int(Qt::Key_F5) << (ctrl | alt) << "CTRL+ALT+F5" << 116 << 6;
  QTest::newRow("Alt+Shift+Home") << int(Qt::Key_Home) << (alt | shift) << "ALT+SHIFT+Home" << 36
                                  << 5;
  QTest::newRow("Ctrl+Shift+Alt+End")
      << int(Qt::Key_End) << (ctrl | shift | alt) << "CTRL+SHIFT+ALT+End" << 35 << 7;
  QTest::newRow("keypad plus") << int(Qt::Key_Plus) << keypad << "Num'+'" << 107 << 0;
  QTest::newRow("keypad 7") << int(Qt::Key_7) << keypad << "Num7" << 103 << 0;
  QTest::newRow("main 1") << int(Qt::Key_1) << 0 << "1" << 49 << 0;
  QTest::newRow("Shift+1") << int(Qt::Key_1) << shift << "SHIFT+1" << 49 << 1;
  QTest::newRow("semicolon") << int(Qt::Key_Semicolon) << 0 << "[186]" << 186 << 0;
  QTest::newRow("Ctrl+semicolon") << int(Qt::Key_Semicolon) << ctrl << "CTRL+[186]" << 186 << 2;
  QTest::newRow("Num Lock") << int(Qt::Key_NumLock) << 0 << "Num" << 144 << 0;
  QTest::newRow("Caps Lock") << int(Qt::Key_CapsLock) << 0 << "Caps" << 20 << 0;
  QTest::newRow("Pause") << int(Qt::Key_Pause) << 0 << "Pause" << 19 << 0;
  QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << "Esc" << 27 << 0;
  QTest::newRow("F13") << int(Qt::Key_F13) << 0 << "[124]" << 124 << 0;
  QTest::newRow("Ctrl+V") << int(Qt::Key_V) << ctrl << "CTRL+V" << 86 << 2;
  QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << ctrl << "CTRL" << 0 << 2;
  QTest::newRow("Enter clears") << int(Qt::Key_Return) << 0 << "" << 0 << 0;
  QTest::newRow("Tab clears") << int(Qt::Key_Tab) << 0 << "" << 0 << 0;
}

void CaptureWidgetTest::keyPressesGiveTheirTexts() {
  QFETCH(int, key);
  QFETCH(int, modifiers);
  QFETCH(QString, text);
  QFETCH(int, code);
  QFETCH(int, shift);
  WindowHarness h;
  QVERIFY(h.window->load());
  h.window->show();
  QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
  h.window->action("mnuHotkeys").trigger();
  QApplication::clipboard()->setText("kept");
  auto& box = h.window->capture("qvHotKey2").lineEdit();
  box.setFocus();
  QTest::keyClick(&box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
  QCOMPARE(box.text(), text);
  QCOMPARE(int(h.window->form().qvHotKey2().qvGetHotKeyCode()), code);
  QCOMPARE(int(h.window->form().qvHotKey2().qvGetHotKeyShift()), shift);
  QCOMPARE(QApplication::focusWidget(), &box);
  // The control never touches the clipboard, Ctrl+V included.
  QCOMPARE(QApplication::clipboard()->text(), QString("kept"));
  // The other controls are left alone.
  QCOMPARE(h.window->capture("qvHotKey1").lineEdit().text(), QString("F5"));
  QVERIFY(h.shown.empty());
}

void CaptureWidgetTest::aModifierAloneAndThenBackspace() {
  WindowHarness h;
  QVERIFY(h.window->load());
  h.window->show();
  h.window->action("mnuHotkeys").trigger();
  auto& box = h.window->capture("qvHotKey1").lineEdit();
  // Qt reports a modifier key's own modifier on its press; the mask counts it either way.
  QTest::keyPress(&box, Qt::Key_Control, Qt::NoModifier);
  QCOMPARE(box.text(), QString("CTRL"));
  QCOMPARE(int(h.window->form().qvHotKey1().qvGetHotKeyShift()), 2);
  QTest::keyPress(&box, Qt::Key_Alt, Qt::ControlModifier);
  QCOMPARE(box.text(), QString("CTRL+ALT"));
  QTest::keyRelease(&box, Qt::Key_Alt, Qt::ControlModifier | Qt::AltModifier);
  QTest::keyRelease(&box, Qt::Key_Control, Qt::ControlModifier);
  QCOMPARE(box.text(), QString("CTRL+ALT"));  // releases change nothing
  QTest::keyClick(&box, Qt::Key_Backspace);
  QCOMPARE(box.text(), QString());
  QCOMPARE(int(h.window->form().qvHotKey1().qvGetHotKeyCode()), 0);
  QCOMPARE(int(h.window->form().qvHotKey1().qvGetHotKeyShift()), 0);
}

void CaptureWidgetTest::typedAndPastedTextIsRefused() {
  HotKeyCaptureWidget control;
  control.resize(151, 21);
  std::vector<tollivane::frontend::qt::KeyDown> seen;
  control.setOnKeyDown([&](tollivane::frontend::qt::KeyDown k) { seen.push_back(k); });
  auto& box = control.lineEdit();
  QTest::keyClicks(&box, "abc");
  QCOMPARE(box.text(), QString());  // nothing typed lands; the owner writes the text
  QCOMPARE(int(seen.size()), 3);
  QCOMPARE(int(seen[2].keyCode), 'C');

  QApplication::clipboard()->setText("pasted");
  QApplication::clipboard()->setText("pasted", QClipboard::Selection);
  QTest::keyClick(&box, Qt::Key_Insert, Qt::ShiftModifier);
  QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
  QTest::mouseClick(&box, Qt::MiddleButton);
  QCOMPARE(box.text(), QString());
  QCOMPARE(box.contextMenuPolicy(), Qt::NoContextMenu);
  QVERIFY(!box.acceptDrops());

  QMimeData drop;
  drop.setText("dropped");
  QDropEvent event(QPointF(5, 5), Qt::CopyAction, &drop, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&box, &event);
  QCOMPARE(box.text(), QString());

  control.box().setText("CTRL+F1");
  QCOMPARE(box.text(), QString("CTRL+F1"));
}

void CaptureWidgetTest::theBoxFillsTheControlAtAnySize() {
  HotKeyCaptureWidget control;
  control.resize(151, 21);
  control.show();
  QCOMPARE(control.lineEdit().geometry(), QRect(0, 0, 151, 21));
  // 3000 x 500 twips at 96 dpi.
  control.setWidthTwips(3000);
  control.setHeightTwips(500);
  QCOMPARE(control.lineEdit().geometry(), QRect(0, 0, 200, 33));
  QCOMPARE(control.widthTwips(), 3000.0);
}

void CaptureWidgetTest::fontPropertiesReachTheBox() {
  HotKeyCaptureWidget control;
  QCOMPARE(control.fontSize(), 10.0);
  QVERIFY(!control.fontBold());
  control.setFontBold(true);
  control.setFontSize(12);
  QVERIFY(control.lineEdit().font().bold());
  QCOMPARE(control.lineEdit().font().pointSizeF(), 12.0);
  HotKeyCaptureWidget other;
  QVERIFY(!other.fontBold());
}

QTEST_MAIN(CaptureWidgetTest)
#include "capture_widget_test.moc"
