#include "controls/hotkey_capture/key_names.hpp"

#include <array>

#include "common/virtual_keys.hpp"

namespace tollivane::controls {

namespace {

struct NamedKey {
  std::int16_t code;
  std::string_view name;
};

// Keys named one by one; the keypad digits and F1..F12 are named by range below.
constexpr std::array<NamedKey, 20> kNamedKeys{{
    {vk::kPause, "Pause"},   {vk::kCapsLock, "Caps"},   {vk::kEscape, "Esc"},
    {vk::kSpace, "Space"},   {vk::kPageUp, "PageUp"},   {vk::kPageDown, "PageDown"},
    {vk::kEnd, "End"},       {vk::kHome, "Home"},       {vk::kLeft, "Left"},
    {vk::kUp, "Up"},         {vk::kRight, "Right"},     {vk::kDown, "Down"},
    {vk::kInsert, "Ins"},    {vk::kDelete, "Del"},      {vk::kMultiply, "Num'*'"},
    {vk::kAdd, "Num'+'"},    {vk::kSubtract, "Num'-'"}, {vk::kDecimal, "Num'.'"},
    {vk::kDivide, "Num'/'"}, {vk::kNumLock, "Num"},
}};

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
    case vk::kShiftBit:
      prefix.append(w.shift).append(w.add);
      break;
    case vk::kControlBit:
      prefix.append(w.control).append(w.add);
      break;
    case vk::kControlBit | vk::kShiftBit:
      prefix.append(w.control).append(w.add).append(w.shift).append(w.add);
      break;
    case vk::kAltBit:
      prefix.append(w.alt).append(w.add);
      break;
    case vk::kAltBit | vk::kShiftBit:
      prefix.append(w.alt).append(w.add).append(w.shift).append(w.add);
      break;
    case vk::kControlBit | vk::kAltBit:
      prefix.append(w.control).append(w.add).append(w.alt).append(w.add);
      break;
    case vk::kAllModifiers:
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
  if (keyCode >= vk::kNumpad0 && keyCode <= vk::kNumpad9) {
    return numbered("Num", keyCode - vk::kNumpad0);
  }
  if (keyCode >= vk::kF1 && keyCode <= vk::kF12) {
    return numbered("F", keyCode - vk::kF1 + 1);
  }
  if ((keyCode >= vk::kA && keyCode <= vk::kZ) || (keyCode >= vk::k0 && keyCode <= vk::k9)) {
    return std::string(1, static_cast<char>(keyCode));
  }
  return numbered("[", keyCode, "]");
}

}  // namespace tollivane::controls
