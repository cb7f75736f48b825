#include "platform/x11/vk_keysyms.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include "controls/hotkey_capture/key_names.hpp"

namespace tollivane::platform::x11 {
namespace {

std::vector<std::uint32_t> symsOf(int vk) {
  const auto syms = keysymsForVirtualKey(vk);
  return {syms.begin(), syms.end()};
}

// A few anchors against a table shifted as a whole; the rest follows from the round trip.
TEST(VkKeysyms, RangesAndNamedKeysMapToTheirKeysyms) {
  const std::map<int, std::vector<std::uint32_t>> cases = {
      {'A', {XK_a}},
      {'9', {XK_9}},
      {0x60, {XK_KP_0}},
      {0x74, {XK_F5}},
      {0x87, {XK_F24}},
      {0x10, {XK_Shift_L, XK_Shift_R}},
      {0x12, {XK_Alt_L, XK_Alt_R, XK_ISO_Level3_Shift}},
      {0xA1, {XK_Shift_R}},
      {0x0D, {XK_Return, XK_KP_Enter}},
      {0xDE, {XK_apostrophe}},
  };
  for (const auto& [vk, syms] : cases) EXPECT_EQ(symsOf(vk), syms) << "virtual key " << vk;
}

TEST(VkKeysyms, CodesThatNameNoKeyHaveNone) {
  for (int vk : {0, 1, 2, 7, 0x0A, 0x3A, 0x40, 0x5E, 0x88, 0xFF, -1, 256, 32767, -32768}) {
    EXPECT_TRUE(keysymsForVirtualKey(vk).empty()) << "virtual key " << vk;
  }
}

// Every key that the capture control names by a word of its own, not "[code]", must be one
// the poller can see.
TEST(VkKeysyms, EveryKeyTheCaptureControlNamesCanBeSeen) {
  int named = 0;
  for (std::int16_t vk = 19; vk < 256; ++vk) {
    if (controls::keyName(vk).starts_with('[')) continue;
    ++named;
    EXPECT_FALSE(keysymsForVirtualKey(vk).empty()) << controls::keyName(vk);
  }
  EXPECT_GT(named, 40);
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

// A keysym the poller watches for a code names that code when pressed, if any (the sides of a
// modifier name the modifier; keys the capture control cannot name, such as Break, none); and
// keysyms the poller does not watch name their key too.
TEST(VkKeysyms, APressNamesThePhysicalKey) {
  const std::map<int, int> sideOf = {{0xA0, 0x10}, {0xA1, 0x10}, {0xA2, 0x11},
                                     {0xA3, 0x11}, {0xA4, 0x12}, {0xA5, 0x12}};
  for (int vk = 0; vk < 256; ++vk) {
    const int generic = sideOf.contains(vk) ? sideOf.at(vk) : vk;
    for (std::uint32_t sym : keysymsForVirtualKey(vk)) {
      if (sym == XK_KP_Begin) continue;  // Clear is the keypad's 5 without Num Lock: it names 5
      const auto named = virtualKeyFromKeysym(sym);
      EXPECT_TRUE(!named || *named == generic)
          << XKeysymToString(sym) << " names " << named.value_or(-1);
    }
  }
  int named = 0;
  for (int vk = 0; vk < 256; ++vk) {
    for (std::uint32_t sym : keysymsForVirtualKey(vk)) named += virtualKeyFromKeysym(sym) ? 1 : 0;
  }
  EXPECT_GT(named, 100);
  const std::pair<std::uint32_t, int> unwatched[] = {
      {XK_Z, 90},           {XK_KP_Insert, 96}, {XK_KP_Begin, 101}, {XK_KP_Delete, 110},
      {XK_ISO_Left_Tab, 9}, {XK_Super_L, 91},   {XK_less, 226}};
  for (const auto& [sym, vk] : unwatched) {
    EXPECT_EQ(virtualKeyFromKeysym(sym), vk) << XKeysymToString(sym);
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
