#include "platform/x11/vk_keysyms.hpp"

#include <X11/keysym.h>

#include <array>

namespace tollivane::platform::x11 {
namespace {

struct Keysyms {
  std::array<std::uint32_t, 3> syms{};
  std::size_t count = 0;
};

struct Named {
  int vk;
  std::array<std::uint32_t, 3> syms;
};

// Keys without a regular range. Zero ends a shorter list.
constexpr Named kNamed[] = {
    {0x03, {XK_Break}},
    {0x08, {XK_BackSpace}},
    {0x09, {XK_Tab, XK_ISO_Left_Tab}},
    {0x0C, {XK_Clear, XK_KP_Begin}},
    {0x0D, {XK_Return, XK_KP_Enter}},
    {0x10, {XK_Shift_L, XK_Shift_R}},
    {0x11, {XK_Control_L, XK_Control_R}},
    // AltGr is the right Alt key of layouts that give it a third level.
    {0x12, {XK_Alt_L, XK_Alt_R, XK_ISO_Level3_Shift}},
    {0x13, {XK_Pause}},
    {0x14, {XK_Caps_Lock}},
    {0x1B, {XK_Escape}},
    {0x20, {XK_space}},
    {0x21, {XK_Prior}},
    {0x22, {XK_Next}},
    {0x23, {XK_End}},
    {0x24, {XK_Home}},
    {0x25, {XK_Left}},
    {0x26, {XK_Up}},
    {0x27, {XK_Right}},
    {0x28, {XK_Down}},
    {0x29, {XK_Select}},
    {0x2B, {XK_Execute}},
    {0x2C, {XK_Print}},
    {0x2D, {XK_Insert}},
    {0x2E, {XK_Delete}},
    {0x2F, {XK_Help}},
    {0x5B, {XK_Super_L}},
    {0x5C, {XK_Super_R}},
    {0x5D, {XK_Menu}},
    {0x6A, {XK_KP_Multiply}},
    {0x6B, {XK_KP_Add}},
    {0x6C, {XK_KP_Separator}},
    {0x6D, {XK_KP_Subtract}},
    {0x6E, {XK_KP_Decimal}},
    {0x6F, {XK_KP_Divide}},
    {0x90, {XK_Num_Lock}},
    {0x91, {XK_Scroll_Lock}},
    {0xA0, {XK_Shift_L}},
    {0xA1, {XK_Shift_R}},
    {0xA2, {XK_Control_L}},
    {0xA3, {XK_Control_R}},
    {0xA4, {XK_Alt_L}},
    {0xA5, {XK_Alt_R, XK_ISO_Level3_Shift}},
    {0xBA, {XK_semicolon}},
    {0xBB, {XK_equal}},
    {0xBC, {XK_comma}},
    {0xBD, {XK_minus}},
    {0xBE, {XK_period}},
    {0xBF, {XK_slash}},
    {0xC0, {XK_grave}},
    {0xDB, {XK_bracketleft}},
    {0xDC, {XK_backslash}},
    {0xDD, {XK_bracketright}},
    {0xDE, {XK_apostrophe}},
    // The extra key left of Z on ISO keyboards.
    {0xE2, {XK_less}},
};

constexpr void setOne(Keysyms& entry, std::uint32_t sym) {
  entry.syms[0] = sym;
  entry.count = 1;
}

constexpr std::array<Keysyms, 256> buildTable() {
  std::array<Keysyms, 256> table{};
  for (int vk = '0'; vk <= '9'; ++vk)
    setOne(table[vk], static_cast<std::uint32_t>(XK_0 + vk - '0'));
  // Lower case: the unshifted symbol is what the keyboard mapping lists first.
  for (int vk = 'A'; vk <= 'Z'; ++vk)
    setOne(table[vk], static_cast<std::uint32_t>(XK_a + vk - 'A'));
  for (int n = 0; n <= 9; ++n) setOne(table[0x60 + n], static_cast<std::uint32_t>(XK_KP_0 + n));
  for (int n = 0; n < 24; ++n) setOne(table[0x70 + n], static_cast<std::uint32_t>(XK_F1 + n));
  for (const Named& named : kNamed) {
    Keysyms& entry = table[named.vk];
    entry.syms = named.syms;
    entry.count = 0;
    while (entry.count < entry.syms.size() && entry.syms[entry.count] != 0) ++entry.count;
  }
  return table;
}

constexpr std::array<Keysyms, 256> kTable = buildTable();

}  // namespace

std::span<const std::uint32_t> keysymsForVirtualKey(int virtualKey) {
  if (virtualKey < 0 || virtualKey >= static_cast<int>(kTable.size())) return {};
  const Keysyms& entry = kTable[static_cast<std::size_t>(virtualKey)];
  return {entry.syms.data(), entry.count};
}

}  // namespace tollivane::platform::x11
