// The settings: where each lives in the settings file and its built-in value.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "common/virtual_keys.hpp"

namespace tollivane::settings {

inline constexpr std::string_view kSettingsFileName = "Tollivane.ini";

struct SettingKey {
  std::string_view section;
  std::string_view key;
  std::int16_t fallback;  // used when the file, the section or the key is missing
};

inline constexpr SettingKey kHotKey1{"main", "hotkey1", vk::kF5};
inline constexpr SettingKey kHotShift1{"main", "hotshift1", 0};
inline constexpr SettingKey kHotKey2{"main", "hotkey2", vk::kF6};
inline constexpr SettingKey kHotShift2{"main", "hotshift2", 0};
inline constexpr SettingKey kHotKey3{"main", "hotkey3", vk::kF7};
inline constexpr SettingKey kHotShift3{"main", "hotshift3", 0};
inline constexpr SettingKey kPosX{"rect", "X", 25};
inline constexpr SettingKey kPosY{"rect", "Y", 315};
// 1: the time shows in a window of its own above the game; 0: drawn straight onto the game.
inline constexpr SettingKey kOverlayWindow{"rect", "window", 0};
// 1: the place and size are scaled from a 640 x 480 picture to the game's client area.
inline constexpr SettingKey kScaleToGame{"rect", "scale", 0};
// 1: the hotkeys are also asked of the desktop as its own shortcuts, where it has them.
inline constexpr SettingKey kDesktopShortcuts{"main", "portal", 0};

// A pad binding beside each key binding: the sum of its buttons (common/pad_buttons.hpp), 0
// for none. A section of its own, which copies that know no pads pass by.
inline constexpr SettingKey kPad1{"pad", "pad1", 0};
inline constexpr SettingKey kPad2{"pad", "pad2", 0};
inline constexpr SettingKey kPad3{"pad", "pad3", 0};

// Bindings 1..3 (start, pause, stop) at [0..2].
inline constexpr std::array<SettingKey, 3> kHotKeyCodes{kHotKey1, kHotKey2, kHotKey3};
inline constexpr std::array<SettingKey, 3> kHotKeyShifts{kHotShift1, kHotShift2, kHotShift3};
inline constexpr std::array<SettingKey, 3> kPadBindings{kPad1, kPad2, kPad3};

}  // namespace tollivane::settings
