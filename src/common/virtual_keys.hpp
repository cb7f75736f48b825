// The one key vocabulary: Windows virtual-key codes and modifier bits, as the settings file
// stores them and the poller and the capture control use them. Each OS adapter maps its own
// keys to these in one table.
#pragma once

#include <cstdint>

namespace tollivane::vk {

// Modifier mask bits: a mask is their sum, 0..7.
enum ModifierBit : std::int16_t {
  kShiftBit = 1,
  kControlBit = 2,
  kAltBit = 4,
};
inline constexpr std::int16_t kAllModifiers = kShiftBit | kControlBit | kAltBit;

inline constexpr std::int16_t kCancel = 0x03;
inline constexpr std::int16_t kBack = 0x08;
inline constexpr std::int16_t kTab = 0x09;
inline constexpr std::int16_t kClear = 0x0C;
inline constexpr std::int16_t kReturn = 0x0D;
// Either side of Shift, Ctrl and Alt.
inline constexpr std::int16_t kShift = 0x10;
inline constexpr std::int16_t kControl = 0x11;
inline constexpr std::int16_t kAlt = 0x12;
inline constexpr std::int16_t kPause = 0x13;
inline constexpr std::int16_t kCapsLock = 0x14;
inline constexpr std::int16_t kEscape = 0x1B;
inline constexpr std::int16_t kSpace = 0x20;
inline constexpr std::int16_t kPageUp = 0x21;
inline constexpr std::int16_t kPageDown = 0x22;
inline constexpr std::int16_t kEnd = 0x23;
inline constexpr std::int16_t kHome = 0x24;
inline constexpr std::int16_t kLeft = 0x25;
inline constexpr std::int16_t kUp = 0x26;
inline constexpr std::int16_t kRight = 0x27;
inline constexpr std::int16_t kDown = 0x28;
inline constexpr std::int16_t kSelect = 0x29;
inline constexpr std::int16_t kExecute = 0x2B;
inline constexpr std::int16_t kPrintScreen = 0x2C;
inline constexpr std::int16_t kInsert = 0x2D;
inline constexpr std::int16_t kDelete = 0x2E;
inline constexpr std::int16_t kHelp = 0x2F;
// Main-keyboard digits and letters carry their character's code.
inline constexpr std::int16_t k0 = '0';
inline constexpr std::int16_t k9 = '9';
inline constexpr std::int16_t kA = 'A';
inline constexpr std::int16_t kZ = 'Z';
inline constexpr std::int16_t kLeftWindows = 0x5B;
inline constexpr std::int16_t kRightWindows = 0x5C;
inline constexpr std::int16_t kApps = 0x5D;
inline constexpr std::int16_t kNumpad0 = 0x60;
inline constexpr std::int16_t kNumpad9 = 0x69;
inline constexpr std::int16_t kMultiply = 0x6A;
inline constexpr std::int16_t kAdd = 0x6B;
inline constexpr std::int16_t kSeparator = 0x6C;
inline constexpr std::int16_t kSubtract = 0x6D;
inline constexpr std::int16_t kDecimal = 0x6E;
inline constexpr std::int16_t kDivide = 0x6F;
inline constexpr std::int16_t kF1 = 0x70;
inline constexpr std::int16_t kF5 = 0x74;
inline constexpr std::int16_t kF6 = 0x75;
inline constexpr std::int16_t kF7 = 0x76;
inline constexpr std::int16_t kF12 = 0x7B;
inline constexpr std::int16_t kF24 = 0x87;
inline constexpr std::int16_t kNumLock = 0x90;
inline constexpr std::int16_t kScrollLock = 0x91;
// One side of Shift, Ctrl and Alt.
inline constexpr std::int16_t kLeftShift = 0xA0;
inline constexpr std::int16_t kRightShift = 0xA1;
inline constexpr std::int16_t kLeftControl = 0xA2;
inline constexpr std::int16_t kRightControl = 0xA3;
inline constexpr std::int16_t kLeftAlt = 0xA4;
inline constexpr std::int16_t kRightAlt = 0xA5;
// Punctuation, by the US layout's keys.
inline constexpr std::int16_t kSemicolon = 0xBA;
inline constexpr std::int16_t kEquals = 0xBB;
inline constexpr std::int16_t kComma = 0xBC;
inline constexpr std::int16_t kMinus = 0xBD;
inline constexpr std::int16_t kPeriod = 0xBE;
inline constexpr std::int16_t kSlash = 0xBF;
inline constexpr std::int16_t kGrave = 0xC0;
inline constexpr std::int16_t kLeftBracket = 0xDB;
inline constexpr std::int16_t kBackslash = 0xDC;
inline constexpr std::int16_t kRightBracket = 0xDD;
inline constexpr std::int16_t kApostrophe = 0xDE;
// The extra key left of Z on ISO keyboards.
inline constexpr std::int16_t kIsoExtra = 0xE2;

// A press of a modifier key counts that modifier as held.
constexpr std::int16_t withOwnModifier(std::int16_t mask, std::int16_t keyCode) {
  if (keyCode == kShift) mask |= kShiftBit;
  if (keyCode == kControl) mask |= kControlBit;
  if (keyCode == kAlt) mask |= kAltBit;
  return mask;
}

}  // namespace tollivane::vk
