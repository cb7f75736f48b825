#include "platform/x11/vk_keysyms.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace tollivane::platform::x11 {
namespace {

std::vector<std::uint32_t> symsOf(int vk) {
  const auto syms = keysymsForVirtualKey(vk);
  return {syms.begin(), syms.end()};
}

TEST(VkKeysyms, RangesAndNamedKeysMapToTheirKeysyms) {
  const std::map<int, std::vector<std::uint32_t>> cases = {
      {'A', {XK_a}},
      {'Z', {XK_z}},
      {'0', {XK_0}},
      {'9', {XK_9}},
      {0x60, {XK_KP_0}},
      {0x69, {XK_KP_9}},
      {0x6B, {XK_KP_Add}},
      {0x6E, {XK_KP_Decimal}},
      {0x70, {XK_F1}},
      {0x74, {XK_F5}},
      {0x7B, {XK_F12}},
      {0x7C, {XK_F13}},
      {0x87, {XK_F24}},
      {0x10, {XK_Shift_L, XK_Shift_R}},
      {0x11, {XK_Control_L, XK_Control_R}},
      {0x12, {XK_Alt_L, XK_Alt_R, XK_ISO_Level3_Shift}},
      {0xA1, {XK_Shift_R}},
      {0x0D, {XK_Return, XK_KP_Enter}},
      {0x20, {XK_space}},
      {0x21, {XK_Prior}},
      {0x22, {XK_Next}},
      {0x25, {XK_Left}},
      {0x28, {XK_Down}},
      {0x2D, {XK_Insert}},
      {0x2E, {XK_Delete}},
      {0x90, {XK_Num_Lock}},
      {0xBA, {XK_semicolon}},
      {0xBF, {XK_slash}},
      {0xC0, {XK_grave}},
      {0xDB, {XK_bracketleft}},
      {0xDE, {XK_apostrophe}},
  };
  for (const auto& [vk, syms] : cases) EXPECT_EQ(symsOf(vk), syms) << "virtual key " << vk;
}

TEST(VkKeysyms, CodesThatNameNoKeyHaveNone) {
  for (int vk : {0, 1, 2, 7, 0x0A, 0x3A, 0x40, 0x5E, 0x88, 0xFF, -1, 256, 32767, -32768}) {
    EXPECT_TRUE(keysymsForVirtualKey(vk).empty()) << "virtual key " << vk;
  }
}

// Every key that the capture control can name must be one the poller can see.
TEST(VkKeysyms, EveryKeyTheCaptureControlNamesCanBeSeen) {
  std::vector<int> named = {19, 20, 27, 32, 33, 34, 35, 36, 37, 38, 39, 40, 45, 46, 144};
  for (int vk = 96; vk <= 123; ++vk) named.push_back(vk);
  for (int vk : named) EXPECT_FALSE(keysymsForVirtualKey(vk).empty()) << "virtual key " << vk;
}

TEST(VkKeysyms, KeysymsAreRealAndBelongToOneKeyApartFromModifierSides) {
  const std::map<int, int> sideOf = {{0xA0, 0x10}, {0xA1, 0x10}, {0xA2, 0x11},
                                     {0xA3, 0x11}, {0xA4, 0x12}, {0xA5, 0x12}};
  std::map<std::uint32_t, int> owner;
  for (int vk = 0; vk < 256; ++vk) {
    const int generic = sideOf.contains(vk) ? sideOf.at(vk) : vk;
    for (std::uint32_t sym : keysymsForVirtualKey(vk)) {
      EXPECT_NE(XKeysymToString(sym), nullptr) << "virtual key " << vk;
      const auto [it, fresh] = owner.try_emplace(sym, generic);
      EXPECT_TRUE(fresh || it->second == generic)
          << XKeysymToString(sym) << " is both " << it->second << " and " << vk;
    }
  }
}

struct NamedKeysym {
  const char* name;
  std::uint32_t keysym;
  int vk;
};

TEST(VkKeysyms, APressNamesThePhysicalKey) {
  const NamedKeysym rows[] = {
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
  for (const auto& r : rows) {
    const auto got = virtualKeyFromKeysym(r.keysym);
    ASSERT_TRUE(got.has_value()) << r.name;
    EXPECT_EQ(*got, r.vk) << r.name;
  }
}

TEST(VkKeysyms, KeysymsOfNoKeyAreNotGuessed) {
  for (std::uint32_t keysym :
       {0u, std::uint32_t(XK_exclam), 0x1008fe05u /* XF86Switch_VT_5 */, std::uint32_t(XK_Break),
        std::uint32_t(XK_Select), std::uint32_t(XK_Help)}) {
    EXPECT_FALSE(virtualKeyFromKeysym(keysym)) << XKeysymToString(keysym);
  }
}

TEST(VkKeysyms, ModifierMaskIgnoresLocks) {
  EXPECT_EQ(modifiersFromX11State(ShiftMask | LockMask | Mod2Mask), 1);
  EXPECT_EQ(modifiersFromX11State(ControlMask | Mod1Mask), 6);
  EXPECT_EQ(modifiersFromX11State(ShiftMask | ControlMask | Mod1Mask | Mod4Mask), 7);
}

// What the capture control stores, the poller must find on the same physical key: each
// captured keysym must be one the poller watches for that code, or share its keycode.
TEST(VkKeysyms, ThePollerWatchesEveryKeyThatCanBeCaptured) {
  const std::pair<std::uint32_t, std::uint32_t> sameKeycap[] = {
      {XK_KP_Insert, XK_KP_0}, {XK_KP_End, XK_KP_1},         {XK_KP_Down, XK_KP_2},
      {XK_KP_Next, XK_KP_3},   {XK_KP_Left, XK_KP_4},        {XK_KP_Begin, XK_KP_5},
      {XK_KP_Right, XK_KP_6},  {XK_KP_Home, XK_KP_7},        {XK_KP_Up, XK_KP_8},
      {XK_KP_Prior, XK_KP_9},  {XK_KP_Delete, XK_KP_Decimal}};
  const auto watches = [](int vk, std::uint32_t keysym) {
    const auto watched = keysymsForVirtualKey(vk);
    return std::find(watched.begin(), watched.end(), keysym) != watched.end();
  };
  for (std::uint32_t keysym = 0x20; keysym <= 0x7e; ++keysym) {
    if (keysym >= 'A' && keysym <= 'Z') continue;  // never a keycode's unshifted keysym
    const auto vk = virtualKeyFromKeysym(keysym);
    if (!vk) continue;
    EXPECT_TRUE(watches(*vk, keysym)) << std::hex << keysym;
  }
  for (std::uint32_t keysym = 0xfe00; keysym <= 0xffff; ++keysym) {
    const auto vk = virtualKeyFromKeysym(keysym);
    if (!vk) continue;
    std::uint32_t expected = keysym;
    for (const auto& [nav, digit] : sameKeycap) {
      if (nav == keysym) expected = digit;
    }
    EXPECT_TRUE(watches(*vk, expected)) << std::hex << keysym;
  }
}

}  // namespace
}  // namespace tollivane::platform::x11
