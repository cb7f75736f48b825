#include "platform/qt/qt_key_map.hpp"

#include <Qt>

namespace tollivane::platform::qt {
namespace {

// X keysym values (X11/keysymdef.h), named here so that the table reads as a table.
enum Keysym : std::uint32_t {
  XK_BackSpace = 0xff08,
  XK_Tab = 0xff09,
  XK_Clear = 0xff0b,
  XK_Return = 0xff0d,
  XK_Pause = 0xff13,
  XK_Scroll_Lock = 0xff14,
  XK_Escape = 0xff1b,
  XK_Home = 0xff50,
  XK_Left = 0xff51,
  XK_Up = 0xff52,
  XK_Right = 0xff53,
  XK_Down = 0xff54,
  XK_Prior = 0xff55,
  XK_Next = 0xff56,
  XK_End = 0xff57,
  XK_Print = 0xff61,
  XK_Insert = 0xff63,
  XK_Menu = 0xff67,
  XK_Num_Lock = 0xff7f,
  XK_KP_Enter = 0xff8d,
  XK_KP_Home = 0xff95,
  XK_KP_Left = 0xff96,
  XK_KP_Up = 0xff97,
  XK_KP_Right = 0xff98,
  XK_KP_Down = 0xff99,
  XK_KP_Prior = 0xff9a,
  XK_KP_Next = 0xff9b,
  XK_KP_End = 0xff9c,
  XK_KP_Begin = 0xff9d,
  XK_KP_Insert = 0xff9e,
  XK_KP_Delete = 0xff9f,
  XK_KP_Multiply = 0xffaa,
  XK_KP_Add = 0xffab,
  XK_KP_Separator = 0xffac,
  XK_KP_Subtract = 0xffad,
  XK_KP_Decimal = 0xffae,
  XK_KP_Divide = 0xffaf,
  XK_KP_0 = 0xffb0,
  XK_F1 = 0xffbe,
  XK_F24 = 0xffd5,
  XK_Shift_L = 0xffe1,
  XK_Shift_R = 0xffe2,
  XK_Control_L = 0xffe3,
  XK_Control_R = 0xffe4,
  XK_Caps_Lock = 0xffe5,
  XK_Alt_L = 0xffe9,
  XK_Alt_R = 0xffea,
  XK_Super_L = 0xffeb,
  XK_Super_R = 0xffec,
  XK_Delete = 0xffff,
  XK_ISO_Left_Tab = 0xfe20,
  XK_ISO_Level3_Shift = 0xfe03,
};

struct KeyRow {
  std::int16_t vk;
  std::uint32_t keysym;  // 0: none
  int qtKey;             // 0: none
  bool keypad;           // the Qt key counts only with Qt::KeypadModifier
};

// Letters, main-keyboard digits and F1..F24 follow by range (see below).
constexpr KeyRow kKeys[] = {
    {8, XK_BackSpace, Qt::Key_Backspace, false},
    {9, XK_Tab, Qt::Key_Tab, false},
    {9, XK_ISO_Left_Tab, Qt::Key_Backtab, false},
    {12, XK_Clear, Qt::Key_Clear, false},
    {13, XK_Return, Qt::Key_Return, false},
    {13, XK_KP_Enter, Qt::Key_Enter, true},
    {16, XK_Shift_L, Qt::Key_Shift, false},
    {16, XK_Shift_R, 0, false},
    {17, XK_Control_L, Qt::Key_Control, false},
    {17, XK_Control_R, 0, false},
    {18, XK_Alt_L, Qt::Key_Alt, false},
    {18, XK_Alt_R, Qt::Key_AltGr, false},
    {18, XK_ISO_Level3_Shift, 0, false},
    {19, XK_Pause, Qt::Key_Pause, false},
    {20, XK_Caps_Lock, Qt::Key_CapsLock, false},
    {27, XK_Escape, Qt::Key_Escape, false},
    {32, ' ', Qt::Key_Space, false},
    {33, XK_Prior, Qt::Key_PageUp, false},
    {34, XK_Next, Qt::Key_PageDown, false},
    {35, XK_End, Qt::Key_End, false},
    {36, XK_Home, Qt::Key_Home, false},
    {37, XK_Left, Qt::Key_Left, false},
    {38, XK_Up, Qt::Key_Up, false},
    {39, XK_Right, Qt::Key_Right, false},
    {40, XK_Down, Qt::Key_Down, false},
    {44, XK_Print, Qt::Key_Print, false},
    {45, XK_Insert, Qt::Key_Insert, false},
    {46, XK_Delete, Qt::Key_Delete, false},
    {91, XK_Super_L, Qt::Key_Meta, false},
    {92, XK_Super_R, 0, false},
    {93, XK_Menu, Qt::Key_Menu, false},
    // Keypad: the same code with Num Lock on (digit) or off (navigation).
    {96, XK_KP_Insert, Qt::Key_Insert, true},
    {97, XK_KP_End, Qt::Key_End, true},
    {98, XK_KP_Down, Qt::Key_Down, true},
    {99, XK_KP_Next, Qt::Key_PageDown, true},
    {100, XK_KP_Left, Qt::Key_Left, true},
    {101, XK_KP_Begin, Qt::Key_Clear, true},
    {102, XK_KP_Right, Qt::Key_Right, true},
    {103, XK_KP_Home, Qt::Key_Home, true},
    {104, XK_KP_Up, Qt::Key_Up, true},
    {105, XK_KP_Prior, Qt::Key_PageUp, true},
    {106, XK_KP_Multiply, Qt::Key_Asterisk, true},
    {107, XK_KP_Add, Qt::Key_Plus, true},
    {108, XK_KP_Separator, Qt::Key_Comma, true},
    {109, XK_KP_Subtract, Qt::Key_Minus, true},
    {110, XK_KP_Decimal, Qt::Key_Period, true},
    {110, XK_KP_Delete, Qt::Key_Delete, true},
    {111, XK_KP_Divide, Qt::Key_Slash, true},
    {144, XK_Num_Lock, Qt::Key_NumLock, false},
    {145, XK_Scroll_Lock, Qt::Key_ScrollLock, false},
    // Punctuation by the US layout's codes.
    {186, ';', Qt::Key_Semicolon, false},
    {187, '=', Qt::Key_Equal, false},
    {188, ',', Qt::Key_Comma, false},
    {189, '-', Qt::Key_Minus, false},
    {190, '.', Qt::Key_Period, false},
    {191, '/', Qt::Key_Slash, false},
    {192, '`', Qt::Key_QuoteLeft, false},
    {219, '[', Qt::Key_BracketLeft, false},
    {220, '\\', Qt::Key_Backslash, false},
    {221, ']', Qt::Key_BracketRight, false},
    {222, '\'', Qt::Key_Apostrophe, false},
    {226, '<', Qt::Key_Less, false},  // the extra key of ISO keyboards
};

constexpr std::int16_t kVkF1 = 112;
constexpr std::int16_t kVkNumpad0 = 96;
constexpr std::int16_t kVkShift = 16;
constexpr std::int16_t kVkControl = 17;
constexpr std::int16_t kVkAlt = 18;

std::int16_t withOwnBit(std::int16_t mask, std::int16_t keyCode) {
  if (keyCode == kVkShift) mask |= 1;
  if (keyCode == kVkControl) mask |= 2;
  if (keyCode == kVkAlt) mask |= 4;
  return mask;
}

}  // namespace

std::optional<std::int16_t> virtualKeyFromKeysym(std::uint32_t keysym) {
  if (keysym >= 'a' && keysym <= 'z') return static_cast<std::int16_t>(keysym - 'a' + 'A');
  if ((keysym >= 'A' && keysym <= 'Z') || (keysym >= '0' && keysym <= '9')) {
    return static_cast<std::int16_t>(keysym);
  }
  if (keysym >= XK_KP_0 && keysym <= XK_KP_0 + 9) {
    return static_cast<std::int16_t>(kVkNumpad0 + (keysym - XK_KP_0));
  }
  if (keysym >= XK_F1 && keysym <= XK_F24) {
    return static_cast<std::int16_t>(kVkF1 + (keysym - XK_F1));
  }
  for (const KeyRow& row : kKeys) {
    if (row.keysym == keysym) return row.vk;
  }
  return std::nullopt;
}

std::optional<std::int16_t> virtualKeyFromQtKey(int qtKey, bool keypad) {
  if (keypad && qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
    return static_cast<std::int16_t>(kVkNumpad0 + (qtKey - Qt::Key_0));
  }
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
    return static_cast<std::int16_t>(qtKey);
  }
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
    return static_cast<std::int16_t>(kVkF1 + (qtKey - Qt::Key_F1));
  }
  for (const KeyRow& row : kKeys) {
    if (row.qtKey == qtKey && row.keypad == keypad) return row.vk;
  }
  // A keypad flag that Qt sets on keys outside the keypad (arrows on some platforms).
  if (keypad) return virtualKeyFromQtKey(qtKey, false);
  return std::nullopt;
}

std::int16_t modifierMaskFromX11State(unsigned state, std::int16_t keyCode) {
  constexpr unsigned kShiftMask = 1u << 0, kControlMask = 1u << 2, kMod1Mask = 1u << 3;
  std::int16_t mask = 0;
  if (state & kShiftMask) mask |= 1;
  if (state & kControlMask) mask |= 2;
  if (state & kMod1Mask) mask |= 4;
  return withOwnBit(mask, keyCode);
}

std::int16_t modifierMaskFromQt(unsigned modifiers, std::int16_t keyCode) {
  std::int16_t mask = 0;
  if (modifiers & Qt::ShiftModifier) mask |= 1;
  if (modifiers & Qt::ControlModifier) mask |= 2;
  if (modifiers & Qt::AltModifier) mask |= 4;
  return withOwnBit(mask, keyCode);
}

}  // namespace tollivane::platform::qt
