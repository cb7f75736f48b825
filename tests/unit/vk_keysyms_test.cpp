#include "platform/x11/vk_keysyms.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>
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

}  // namespace
}  // namespace tollivane::platform::x11
