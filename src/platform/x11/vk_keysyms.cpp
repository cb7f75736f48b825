#include "platform/x11/vk_keysyms.hpp"

#include <X11/X.h>
#include <X11/keysym.h>

#include <array>

#include "common/virtual_keys.hpp"

namespace tollivane::platform::x11 {
namespace {

enum class Use {
  Both,
  Watch,  // only the key state looks for it (a side of a modifier, keys nobody names)
  Name,   // only a press names it: a keypad key's other level, on the same keycode
};

struct Row {
  std::int16_t vk;
  std::uint32_t keysym;
  Use use = Use::Both;
};

// Keys without a regular range; digits, letters, the keypad digits and F1..F24 follow by range.
// Where a code has several keysyms, the key state looks for them in this order.
constexpr Row kRows[] = {
    {vk::kCancel, XK_Break, Use::Watch},
    {vk::kBack, XK_BackSpace},
    {vk::kTab, XK_Tab},
    {vk::kTab, XK_ISO_Left_Tab},
    {vk::kClear, XK_Clear},
    {vk::kClear, XK_KP_Begin, Use::Watch},
    {vk::kReturn, XK_Return},
    {vk::kReturn, XK_KP_Enter},
    {vk::kShift, XK_Shift_L},
    {vk::kShift, XK_Shift_R},
    {vk::kControl, XK_Control_L},
    {vk::kControl, XK_Control_R},
    // AltGr is the right Alt key of layouts that give it a third level.
    {vk::kAlt, XK_Alt_L},
    {vk::kAlt, XK_Alt_R},
    {vk::kAlt, XK_ISO_Level3_Shift},
    {vk::kPause, XK_Pause},
    {vk::kCapsLock, XK_Caps_Lock},
    {vk::kEscape, XK_Escape},
    {vk::kSpace, XK_space},
    {vk::kPageUp, XK_Prior},
    {vk::kPageDown, XK_Next},
    {vk::kEnd, XK_End},
    {vk::kHome, XK_Home},
    {vk::kLeft, XK_Left},
    {vk::kUp, XK_Up},
    {vk::kRight, XK_Right},
    {vk::kDown, XK_Down},
    {vk::kSelect, XK_Select, Use::Watch},
    {vk::kExecute, XK_Execute, Use::Watch},
    {vk::kPrintScreen, XK_Print},
    {vk::kInsert, XK_Insert},
    {vk::kDelete, XK_Delete},
    {vk::kHelp, XK_Help, Use::Watch},
    {vk::kLeftWindows, XK_Super_L},
    {vk::kRightWindows, XK_Super_R},
    {vk::kApps, XK_Menu},
    // The keypad with Num Lock off: the same keys as its digits.
    {vk::kNumpad0, XK_KP_Insert, Use::Name},
    {vk::kNumpad0 + 1, XK_KP_End, Use::Name},
    {vk::kNumpad0 + 2, XK_KP_Down, Use::Name},
    {vk::kNumpad0 + 3, XK_KP_Next, Use::Name},
    {vk::kNumpad0 + 4, XK_KP_Left, Use::Name},
    {vk::kNumpad0 + 5, XK_KP_Begin, Use::Name},
    {vk::kNumpad0 + 6, XK_KP_Right, Use::Name},
    {vk::kNumpad0 + 7, XK_KP_Home, Use::Name},
    {vk::kNumpad0 + 8, XK_KP_Up, Use::Name},
    {vk::kNumpad0 + 9, XK_KP_Prior, Use::Name},
    {vk::kMultiply, XK_KP_Multiply},
    {vk::kAdd, XK_KP_Add},
    {vk::kSeparator, XK_KP_Separator},
    {vk::kSubtract, XK_KP_Subtract},
    {vk::kDecimal, XK_KP_Decimal},
    {vk::kDecimal, XK_KP_Delete, Use::Name},
    {vk::kDivide, XK_KP_Divide},
    {vk::kNumLock, XK_Num_Lock},
    {vk::kScrollLock, XK_Scroll_Lock},
    {vk::kLeftShift, XK_Shift_L, Use::Watch},
    {vk::kRightShift, XK_Shift_R, Use::Watch},
    {vk::kLeftControl, XK_Control_L, Use::Watch},
    {vk::kRightControl, XK_Control_R, Use::Watch},
    {vk::kLeftAlt, XK_Alt_L, Use::Watch},
    {vk::kRightAlt, XK_Alt_R, Use::Watch},
    {vk::kRightAlt, XK_ISO_Level3_Shift, Use::Watch},
    {vk::kSemicolon, XK_semicolon},
    {vk::kEquals, XK_equal},
    {vk::kComma, XK_comma},
    {vk::kMinus, XK_minus},
    {vk::kPeriod, XK_period},
    {vk::kSlash, XK_slash},
    {vk::kGrave, XK_grave},
    {vk::kLeftBracket, XK_bracketleft},
    {vk::kBackslash, XK_backslash},
    {vk::kRightBracket, XK_bracketright},
    {vk::kApostrophe, XK_apostrophe},
    {vk::kIsoExtra, XK_less},
};

struct Watched {
  std::array<std::uint32_t, 3> syms{};
  std::size_t count = 0;
};

constexpr void watch(Watched& entry, std::uint32_t sym) { entry.syms[entry.count++] = sym; }

constexpr std::array<Watched, 256> buildWatchTable() {
  std::array<Watched, 256> table{};
  for (int n = 0; n <= 9; ++n) {
    watch(table[vk::k0 + n], static_cast<std::uint32_t>(XK_0 + n));
    watch(table[vk::kNumpad0 + n], static_cast<std::uint32_t>(XK_KP_0 + n));
  }
  // Lower case: the unshifted symbol is what the keyboard mapping lists first.
  for (int n = 0; n < 26; ++n) watch(table[vk::kA + n], static_cast<std::uint32_t>(XK_a + n));
  for (int n = 0; n < 24; ++n) watch(table[vk::kF1 + n], static_cast<std::uint32_t>(XK_F1 + n));
  for (const Row& row : kRows) {
    if (row.use != Use::Name) watch(table[static_cast<std::size_t>(row.vk)], row.keysym);
  }
  return table;
}

constexpr std::array<Watched, 256> kWatched = buildWatchTable();

std::int16_t code(int value) { return static_cast<std::int16_t>(value); }

}  // namespace

std::span<const std::uint32_t> keysymsForVirtualKey(int virtualKey) {
  if (virtualKey < 0 || virtualKey >= static_cast<int>(kWatched.size())) return {};
  const Watched& entry = kWatched[static_cast<std::size_t>(virtualKey)];
  return {entry.syms.data(), entry.count};
}

std::optional<std::int16_t> virtualKeyFromKeysym(std::uint32_t keysym) {
  if (keysym >= XK_a && keysym <= XK_z) return code(vk::kA + static_cast<int>(keysym - XK_a));
  if (keysym >= XK_A && keysym <= XK_Z) return code(vk::kA + static_cast<int>(keysym - XK_A));
  if (keysym >= XK_0 && keysym <= XK_9) return code(vk::k0 + static_cast<int>(keysym - XK_0));
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) {
    return code(vk::kNumpad0 + static_cast<int>(keysym - XK_KP_0));
  }
  if (keysym >= XK_F1 && keysym <= XK_F24) return code(vk::kF1 + static_cast<int>(keysym - XK_F1));
  for (const Row& row : kRows) {
    if (row.keysym == keysym && row.use != Use::Watch) return row.vk;
  }
  return std::nullopt;
}

std::int16_t modifiersFromX11State(unsigned state) {
  std::int16_t mask = 0;
  if (state & ShiftMask) mask |= vk::kShiftBit;
  if (state & ControlMask) mask |= vk::kControlBit;
  if (state & Mod1Mask) mask |= vk::kAltBit;
  return mask;
}

}  // namespace tollivane::platform::x11
