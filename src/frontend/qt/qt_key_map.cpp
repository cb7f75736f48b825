#include "frontend/qt/qt_key_map.hpp"

#include <Qt>

#include "common/virtual_keys.hpp"

namespace tollivane::frontend::qt {
namespace {

struct KeyRow {
  std::int16_t vk;
  int qtKey;
  bool keypad;  // the Qt key counts only with Qt::KeypadModifier
};

// Letters, main-keyboard digits, keypad digits and F1..F24 follow by range (see below).
constexpr KeyRow kKeys[] = {
    {vk::kBack, Qt::Key_Backspace, false},
    {vk::kTab, Qt::Key_Tab, false},
    {vk::kTab, Qt::Key_Backtab, false},
    {vk::kClear, Qt::Key_Clear, false},
    {vk::kReturn, Qt::Key_Return, false},
    {vk::kReturn, Qt::Key_Enter, true},
    {vk::kShift, Qt::Key_Shift, false},
    {vk::kControl, Qt::Key_Control, false},
    {vk::kAlt, Qt::Key_Alt, false},
    {vk::kAlt, Qt::Key_AltGr, false},
    {vk::kPause, Qt::Key_Pause, false},
    {vk::kCapsLock, Qt::Key_CapsLock, false},
    {vk::kEscape, Qt::Key_Escape, false},
    {vk::kSpace, Qt::Key_Space, false},
    {vk::kPageUp, Qt::Key_PageUp, false},
    {vk::kPageDown, Qt::Key_PageDown, false},
    {vk::kEnd, Qt::Key_End, false},
    {vk::kHome, Qt::Key_Home, false},
    {vk::kLeft, Qt::Key_Left, false},
    {vk::kUp, Qt::Key_Up, false},
    {vk::kRight, Qt::Key_Right, false},
    {vk::kDown, Qt::Key_Down, false},
    {vk::kPrintScreen, Qt::Key_Print, false},
    {vk::kInsert, Qt::Key_Insert, false},
    {vk::kDelete, Qt::Key_Delete, false},
    {vk::kLeftWindows, Qt::Key_Meta, false},
    {vk::kApps, Qt::Key_Menu, false},
    // Keypad: the same code with Num Lock on (digit) or off (navigation).
    {vk::kNumpad0, Qt::Key_Insert, true},
    {vk::kNumpad0 + 1, Qt::Key_End, true},
    {vk::kNumpad0 + 2, Qt::Key_Down, true},
    {vk::kNumpad0 + 3, Qt::Key_PageDown, true},
    {vk::kNumpad0 + 4, Qt::Key_Left, true},
    {vk::kNumpad0 + 5, Qt::Key_Clear, true},
    {vk::kNumpad0 + 6, Qt::Key_Right, true},
    {vk::kNumpad0 + 7, Qt::Key_Home, true},
    {vk::kNumpad0 + 8, Qt::Key_Up, true},
    {vk::kNumpad0 + 9, Qt::Key_PageUp, true},
    {vk::kMultiply, Qt::Key_Asterisk, true},
    {vk::kAdd, Qt::Key_Plus, true},
    {vk::kSeparator, Qt::Key_Comma, true},
    {vk::kSubtract, Qt::Key_Minus, true},
    {vk::kDecimal, Qt::Key_Period, true},
    {vk::kDecimal, Qt::Key_Delete, true},
    {vk::kDivide, Qt::Key_Slash, true},
    {vk::kNumLock, Qt::Key_NumLock, false},
    {vk::kScrollLock, Qt::Key_ScrollLock, false},
    {vk::kSemicolon, Qt::Key_Semicolon, false},
    {vk::kEquals, Qt::Key_Equal, false},
    {vk::kComma, Qt::Key_Comma, false},
    {vk::kMinus, Qt::Key_Minus, false},
    {vk::kPeriod, Qt::Key_Period, false},
    {vk::kSlash, Qt::Key_Slash, false},
    {vk::kGrave, Qt::Key_QuoteLeft, false},
    {vk::kLeftBracket, Qt::Key_BracketLeft, false},
    {vk::kBackslash, Qt::Key_Backslash, false},
    {vk::kRightBracket, Qt::Key_BracketRight, false},
    {vk::kApostrophe, Qt::Key_Apostrophe, false},
    {vk::kIsoExtra, Qt::Key_Less, false},
};

std::int16_t code(int value) { return static_cast<std::int16_t>(value); }

}  // namespace

std::optional<std::int16_t> virtualKeyFromQtKey(int qtKey, bool keypad) {
  if (keypad && qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
    return code(vk::kNumpad0 + (qtKey - Qt::Key_0));
  }
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
    return code(qtKey);  // Qt's letters and digits are their characters, as the codes are
  }
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return code(vk::kF1 + (qtKey - Qt::Key_F1));
  for (const KeyRow& row : kKeys) {
    if (row.qtKey == qtKey && row.keypad == keypad) return row.vk;
  }
  // A keypad flag that Qt sets on keys outside the keypad (arrows on some platforms).
  if (keypad) return virtualKeyFromQtKey(qtKey, false);
  return std::nullopt;
}

std::int16_t modifierMaskFromQt(unsigned modifiers, std::int16_t keyCode) {
  std::int16_t mask = 0;
  if (modifiers & Qt::ShiftModifier) mask |= vk::kShiftBit;
  if (modifiers & Qt::ControlModifier) mask |= vk::kControlBit;
  if (modifiers & Qt::AltModifier) mask |= vk::kAltBit;
  return vk::withOwnModifier(mask, keyCode);
}

}  // namespace tollivane::frontend::qt
