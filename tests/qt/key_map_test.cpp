// The capture control's key mapping: X keysyms and Qt keys to virtual-key codes and masks.
#include <X11/keysym.h>

#include <QTest>

#include "frontend/qt/qt_key_map.hpp"
#include "frontend/qt/x11_capture_keys.hpp"

using tollivane::frontend::qt::KeyDown;
namespace qt = tollivane::frontend::qt;

class KeyMapTest : public QObject {
  Q_OBJECT
 private slots:
  void pressesFromX11CarryTheirOwnModifier_data();
  void pressesFromX11CarryTheirOwnModifier();
  void qtKeysKeepTheKeypadApart_data();
  void qtKeysKeepTheKeypadApart();
  void unknownKeysAreNotGuessed();
};

void KeyMapTest::pressesFromX11CarryTheirOwnModifier_data() {
  QTest::addColumn<uint>("keysym");
  QTest::addColumn<uint>("state");
  QTest::addColumn<int>("vk");
  QTest::addColumn<int>("mask");
  // The X state bits (X11/X.h, whose macros clash with Qt's names).
  constexpr uint shift = 1u << 0, lock = 1u << 1, ctrl = 1u << 2, alt = 1u << 3, numLock = 1u << 4;
  // The unshifted keysym of the 1 key, with Shift held: the key, not the "!".
  QTest::newRow("Shift+1") << uint(XK_1) << shift << 49 << 1;
  QTest::newRow("Ctrl+Alt+F5") << uint(XK_F5) << (ctrl | alt) << 116 << 6;
  QTest::newRow("Ctrl alone") << uint(XK_Control_L) << 0u << 17 << 2;
  QTest::newRow("Shift alone") << uint(XK_Shift_L) << 0u << 16 << 1;
  QTest::newRow("Alt after Ctrl") << uint(XK_Alt_L) << ctrl << 18 << 6;
  QTest::newRow("Shift after Shift") << uint(XK_Shift_R) << shift << 16 << 1;
  QTest::newRow("Alt+Shift+Home") << uint(XK_Home) << (alt | shift) << 36 << 5;
  QTest::newRow("locks ignored") << uint(XK_KP_Add) << (lock | numLock) << 107 << 0;
  QTest::newRow("Ctrl+semicolon") << uint(XK_semicolon) << ctrl << 186 << 2;
}

void KeyMapTest::pressesFromX11CarryTheirOwnModifier() {
  QFETCH(uint, keysym);
  QFETCH(uint, state);
  QFETCH(int, vk);
  QFETCH(int, mask);
  const auto got = qt::keyDownFromX11(keysym, state);
  QVERIFY(got.has_value());
  QCOMPARE(int(got->keyCode), vk);
  QCOMPARE(int(got->shift), mask);
}

void KeyMapTest::qtKeysKeepTheKeypadApart_data() {
  QTest::addColumn<int>("key");
  QTest::addColumn<bool>("keypad");
  QTest::addColumn<int>("vk");
  QTest::newRow("main 1") << int(Qt::Key_1) << false << 49;
  QTest::newRow("keypad 1") << int(Qt::Key_1) << true << 97;
  QTest::newRow("main plus is not a key") << int(Qt::Key_Plus) << false << -1;
  QTest::newRow("keypad plus") << int(Qt::Key_Plus) << true << 107;
  QTest::newRow("keypad period") << int(Qt::Key_Period) << true << 110;
  QTest::newRow("main period") << int(Qt::Key_Period) << false << 190;
  QTest::newRow("keypad Home") << int(Qt::Key_Home) << true << 103;
  QTest::newRow("main Home") << int(Qt::Key_Home) << false << 36;
  QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true << 13;
  QTest::newRow("Backtab") << int(Qt::Key_Backtab) << false << 9;
  QTest::newRow("F24") << int(Qt::Key_F24) << false << 135;
  QTest::newRow("letter") << int(Qt::Key_Q) << false << 81;
  QTest::newRow("semicolon") << int(Qt::Key_Semicolon) << false << 186;
}

void KeyMapTest::qtKeysKeepTheKeypadApart() {
  QFETCH(int, key);
  QFETCH(bool, keypad);
  QFETCH(int, vk);
  const auto got = qt::virtualKeyFromQtKey(key, keypad);
  QCOMPARE(got ? int(*got) : -1, vk);
}

void KeyMapTest::unknownKeysAreNotGuessed() {
  QVERIFY(!qt::virtualKeyFromQtKey(Qt::Key_unknown, false));
  QVERIFY(!qt::keyDownFromX11(XK_exclam, 1));
}

QTEST_APPLESS_MAIN(KeyMapTest)
#include "key_map_test.moc"
