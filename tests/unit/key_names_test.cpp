#include "controls/hotkey_capture/key_names.hpp"

#include <gtest/gtest.h>

#include <string>

namespace tollivane::controls {
namespace {

struct KeyCase {
  std::int16_t code;
  const char* name;
};

TEST(KeyName, NamedKeys) {
  const KeyCase cases[] = {
      {19, "Pause"},    {20, "Caps"},    {27, "Esc"},     {32, "Space"},   {33, "PageUp"},
      {34, "PageDown"}, {35, "End"},     {36, "Home"},    {37, "Left"},    {38, "Up"},
      {39, "Right"},    {40, "Down"},    {45, "Ins"},     {46, "Del"},     {96, "Num0"},
      {97, "Num1"},     {98, "Num2"},    {99, "Num3"},    {100, "Num4"},   {101, "Num5"},
      {102, "Num6"},    {103, "Num7"},   {104, "Num8"},   {105, "Num9"},   {106, "Num'*'"},
      {107, "Num'+'"},  {109, "Num'-'"}, {110, "Num'.'"}, {111, "Num'/'"}, {112, "F1"},
      {113, "F2"},      {114, "F3"},     {115, "F4"},     {116, "F5"},     {117, "F6"},
      {118, "F7"},      {119, "F8"},     {120, "F9"},     {121, "F10"},    {122, "F11"},
      {123, "F12"},     {144, "Num"},
  };
  EXPECT_EQ(std::size(cases), 42u);
  for (const auto& c : cases) EXPECT_EQ(keyName(c.code), c.name) << "code " << c.code;
}

TEST(KeyName, LettersAndMainKeyboardDigitsAreTheirCharacters) {
  for (char c = 'A'; c <= 'Z'; ++c) EXPECT_EQ(keyName(c), std::string(1, c));
  for (char c = '0'; c <= '9'; ++c) EXPECT_EQ(keyName(c), std::string(1, c));
}

TEST(KeyName, EveryOtherCodeInBrackets) {
  const KeyCase cases[] = {
      // Neighbours of the named ranges, so that no range reaches one code too far.
      {21, "[21]"},       {26, "[26]"},   {28, "[28]"},   {31, "[31]"},   {41, "[41]"},
      {44, "[44]"},       {47, "[47]"},   {58, "[58]"},   {64, "[64]"},   {91, "[91]"},
      {95, "[95]"},       {108, "[108]"}, {124, "[124]"}, {143, "[143]"}, {145, "[145]"},
      {186, "[186]"},     {254, "[254]"}, {255, "[255]"}, {256, "[256]"}, {1000, "[1000]"},
      {32767, "[32767]"},
  };
  for (const auto& c : cases) EXPECT_EQ(keyName(c.code), c.name) << "code " << c.code;
}

TEST(ModifierPrefix, DefaultWordsForEveryMask) {
  const ModifierWords words{"CTRL", "ALT", "SHIFT", "+"};
  const char* expected[] = {"",     "SHIFT+",     "CTRL+",     "CTRL+SHIFT+",
                            "ALT+", "ALT+SHIFT+", "CTRL+ALT+", "CTRL+SHIFT+ALT+"};
  for (std::int16_t mask = 0; mask <= 7; ++mask) {
    EXPECT_EQ(modifierPrefix(mask, words), expected[mask]) << "mask " << mask;
  }
}

TEST(ModifierPrefix, EachWordLandsInItsPlace) {
  // One-letter words and a two-character separator show any word or separator mix-up.
  const ModifierWords words{"c", "a", "s", "-/"};
  const char* expected[] = {"", "s-/", "c-/", "c-/s-/", "a-/", "a-/s-/", "c-/a-/", "c-/s-/a-/"};
  for (std::int16_t mask = 0; mask <= 7; ++mask) {
    EXPECT_EQ(modifierPrefix(mask, words), expected[mask]) << "mask " << mask;
  }
}

TEST(ModifierPrefix, NoPrefixOutsideTheMaskRange) {
  const ModifierWords words{"CTRL", "ALT", "SHIFT", "+"};
  for (std::int16_t mask : std::initializer_list<std::int16_t>{-32768, -1, 8, 9, 15, 32767}) {
    EXPECT_EQ(modifierPrefix(mask, words), "") << "mask " << mask;
  }
}

}  // namespace
}  // namespace tollivane::controls
