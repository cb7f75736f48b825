// The capture control's key mapping: X keysyms and Qt keys to virtual-key codes and masks.
#include <X11/keysym.h>

#include <QTest>
#include <algorithm>

#include "platform/qt/qt_key_map.hpp"
#include "platform/qt/x11_capture_keys.hpp"
#include "platform/x11/vk_keysyms.hpp"

using tollivane::platform::qt::KeyDown;
namespace qt = tollivane::platform::qt;

class KeyMapTest : public QObject {
  Q_OBJECT
 private slots:
  void keysymNamesThePhysicalKey_data();
  void keysymNamesThePhysicalKey();
  void pressesFromX11CarryTheirOwnModifier_data();
  void pressesFromX11CarryTheirOwnModifier();
  void qtKeysKeepTheKeypadApart_data();
  void qtKeysKeepTheKeypadApart();
  void unknownKeysAreNotGuessed();
  void pollerFindsTheKeyThatWasCaptured();
};

void KeyMapTest::keysymNamesThePhysicalKey_data() {
  QTest::addColumn<uint>("keysym");
  QTest::addColumn<int>("vk");
  const struct {
    const char* name;
    uint keysym;
    int vk;
  } rows[] = {
      {"a", XK_a, 65},
      {"Z upper", XK_Z, 90},
      {"1", XK_1, 49},
      {"0", XK_0, 48},
      {"F1", XK_F1, 112},
      {"F5", XK_F5, 116},
      {"F12", XK_F12, 123},
      {"F13", XK_F13, 124},
      {"F24", XK_F24, 135},
      {"KP_0", XK_KP_0, 96},
      {"KP_Insert", XK_KP_Insert, 96},
      {"KP_7", XK_KP_7, 103},
      {"KP_Home", XK_KP_Home, 103},
      {"KP_5", XK_KP_5, 101},
      {"KP_Begin", XK_KP_Begin, 101},
      {"KP_9", XK_KP_9, 105},
      {"KP_Prior", XK_KP_Prior, 105},
      {"KP_Multiply", XK_KP_Multiply, 106},
      {"KP_Add", XK_KP_Add, 107},
      {"KP_Separator", XK_KP_Separator, 108},
      {"KP_Subtract", XK_KP_Subtract, 109},
      {"KP_Decimal", XK_KP_Decimal, 110},
      {"KP_Delete", XK_KP_Delete, 110},
      {"KP_Divide", XK_KP_Divide, 111},
      {"KP_Enter", XK_KP_Enter, 13},
      {"Return", XK_Return, 13},
      {"Tab", XK_Tab, 9},
      {"ISO_Left_Tab", XK_ISO_Left_Tab, 9},
      {"BackSpace", XK_BackSpace, 8},
      {"Escape", XK_Escape, 27},
      {"space", XK_space, 32},
      {"Pause", XK_Pause, 19},
      {"Caps_Lock", XK_Caps_Lock, 20},
      {"Num_Lock", XK_Num_Lock, 144},
      {"Scroll_Lock", XK_Scroll_Lock, 145},
      {"Prior", XK_Prior, 33},
      {"Next", XK_Next, 34},
      {"End", XK_End, 35},
      {"Home", XK_Home, 36},
      {"Left", XK_Left, 37},
      {"Up", XK_Up, 38},
      {"Right", XK_Right, 39},
      {"Down", XK_Down, 40},
      {"Print", XK_Print, 44},
      {"Insert", XK_Insert, 45},
      {"Delete", XK_Delete, 46},
      {"Super_L", XK_Super_L, 91},
      {"Menu", XK_Menu, 93},
      {"Shift_R", XK_Shift_R, 16},
      {"Control_R", XK_Control_R, 17},
      {"Alt_R", XK_Alt_R, 18},
      {"ISO_Level3_Shift", XK_ISO_Level3_Shift, 18},
      {"semicolon", XK_semicolon, 186},
      {"equal", XK_equal, 187},
      {"comma", XK_comma, 188},
      {"minus", XK_minus, 189},
      {"period", XK_period, 190},
      {"slash", XK_slash, 191},
      {"grave", XK_grave, 192},
      {"bracketleft", XK_bracketleft, 219},
      {"backslash", XK_backslash, 220},
      {"bracketright", XK_bracketright, 221},
      {"apostrophe", XK_apostrophe, 222},
      {"less (ISO)", XK_less, 226},
  };
  for (const auto& r : rows) QTest::newRow(r.name) << r.keysym << r.vk;
}

void KeyMapTest::keysymNamesThePhysicalKey() {
  QFETCH(uint, keysym);
  QFETCH(int, vk);
  const auto got = qt::virtualKeyFromKeysym(keysym);
  QVERIFY(got.has_value());
  QCOMPARE(int(*got), vk);
}

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
  QVERIFY(!qt::virtualKeyFromKeysym(0));
  QVERIFY(!qt::virtualKeyFromKeysym(XK_exclam));
  QVERIFY(!qt::virtualKeyFromKeysym(0x1008fe05));  // XF86Switch_VT_5
  QVERIFY(!qt::virtualKeyFromQtKey(Qt::Key_unknown, false));
  QVERIFY(!qt::keyDownFromX11(XK_exclam, 1));
}

// What the capture control stores, the poller must find on the same physical key: each
// captured keysym must be one the poller watches for that code, or share its keycode.
void KeyMapTest::pollerFindsTheKeyThatWasCaptured() {
  const std::pair<uint, uint> sameKeycap[] = {
      {XK_KP_Insert, XK_KP_0}, {XK_KP_End, XK_KP_1},         {XK_KP_Down, XK_KP_2},
      {XK_KP_Next, XK_KP_3},   {XK_KP_Left, XK_KP_4},        {XK_KP_Begin, XK_KP_5},
      {XK_KP_Right, XK_KP_6},  {XK_KP_Home, XK_KP_7},        {XK_KP_Up, XK_KP_8},
      {XK_KP_Prior, XK_KP_9},  {XK_KP_Delete, XK_KP_Decimal}};
  for (uint keysym = 0x20; keysym <= 0x7e; ++keysym) {
    if (keysym >= 'A' && keysym <= 'Z') continue;  // never a keycode's unshifted keysym
    const auto vk = qt::virtualKeyFromKeysym(keysym);
    if (!vk) continue;
    const auto watched = tollivane::platform::x11::keysymsForVirtualKey(*vk);
    QVERIFY2(std::find(watched.begin(), watched.end(), keysym) != watched.end(),
             qPrintable(QString::number(keysym, 16)));
  }
  for (uint keysym = 0xfe00; keysym <= 0xffff; ++keysym) {
    const auto vk = qt::virtualKeyFromKeysym(keysym);
    if (!vk) continue;
    uint expected = keysym;
    for (const auto& [nav, digit] : sameKeycap) {
      if (nav == keysym) expected = digit;
    }
    const auto watched = tollivane::platform::x11::keysymsForVirtualKey(*vk);
    QVERIFY2(std::find(watched.begin(), watched.end(), expected) != watched.end(),
             qPrintable(QString::number(keysym, 16)));
  }
}

QTEST_APPLESS_MAIN(KeyMapTest)
#include "key_map_test.moc"
