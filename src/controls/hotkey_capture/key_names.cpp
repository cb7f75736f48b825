#include "controls/hotkey_capture/key_names.hpp"

#include <array>

namespace tollivane::controls {

namespace {

struct NamedKey {
  std::int16_t code;
  std::string_view name;
};

// Keys named one by one; the keypad digits and F1..F12 are named by range below.
constexpr std::array<NamedKey, 20> kNamedKeys{{
    {19, "Pause"},    {20, "Caps"},    {27, "Esc"},     {32, "Space"},   {33, "PageUp"},
    {34, "PageDown"}, {35, "End"},     {36, "Home"},    {37, "Left"},    {38, "Up"},
    {39, "Right"},    {40, "Down"},    {45, "Ins"},     {46, "Del"},     {106, "Num'*'"},
    {107, "Num'+'"},  {109, "Num'-'"}, {110, "Num'.'"}, {111, "Num'/'"}, {144, "Num"},
}};

constexpr std::int16_t kNumpad0 = 96;
constexpr std::int16_t kNumpad9 = 105;
constexpr std::int16_t kF1 = 112;
constexpr std::int16_t kF12 = 123;

std::string numbered(std::string_view prefix, int number, std::string_view suffix = {}) {
  std::string name(prefix);
  name += std::to_string(number);
  name += suffix;
  return name;
}

}  // namespace

std::string modifierPrefix(std::int16_t shift, const ModifierWords& w) {
  std::string prefix;
  switch (shift) {
    case 1:
      prefix.append(w.shift).append(w.add);
      break;
    case 2:
      prefix.append(w.control).append(w.add);
      break;
    case 3:
      prefix.append(w.control).append(w.add).append(w.shift).append(w.add);
      break;
    case 4:
      prefix.append(w.alt).append(w.add);
      break;
    case 5:
      prefix.append(w.alt).append(w.add).append(w.shift).append(w.add);
      break;
    case 6:
      prefix.append(w.control).append(w.add).append(w.alt).append(w.add);
      break;
    case 7:
      prefix.append(w.control).append(w.add).append(w.shift).append(w.add);
      prefix.append(w.alt).append(w.add);
      break;
    default:
      break;
  }
  return prefix;
}

std::string keyName(std::int16_t keyCode) {
  for (const auto& key : kNamedKeys) {
    if (key.code == keyCode) return std::string(key.name);
  }
  if (keyCode >= kNumpad0 && keyCode <= kNumpad9) {
    return numbered("Num", keyCode - kNumpad0);
  }
  if (keyCode >= kF1 && keyCode <= kF12) {
    return numbered("F", keyCode - kF1 + 1);
  }
  // Letter and main-keyboard digit keys carry their character's code.
  if ((keyCode >= 'A' && keyCode <= 'Z') || (keyCode >= '0' && keyCode <= '9')) {
    return std::string(1, static_cast<char>(keyCode));
  }
  return numbered("[", keyCode, "]");
}

}  // namespace tollivane::controls
