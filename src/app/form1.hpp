// Form1: the main window's state record and every handler of the main window.
// Names such as Form1, Timer1_Timer and funStart follow the program's own conventions;
// everything else follows ours (README, "Layout of the source").
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "app/window_controls.hpp"
#include "common/pad_buttons.hpp"
#include "controls/hotkey_capture/qv_hot_key.hpp"
#include "platform/platform.hpp"
#include "settings/settings_keys.hpp"
#include "stopwatch/pad_reading.hpp"

namespace tollivane::app {

// The state record, fields in their declared order. Entries 1..3 of the arrays are [0..2].
struct Form1Record {
  std::string SettingsPath;
  float ElapsedSeconds = 0.0f;
  std::array<std::int16_t, 3> HotKeyCodes{};
  std::array<std::int16_t, 3> HotKeyShifts{};
  std::int16_t IsRunning = 0;
  std::string TimeText;
  platform::Rect OverlayRect;
  platform::DeviceContext OverlayDC = 0;
  std::int16_t PosX = 0;
  std::int16_t PosY = 0;
  platform::ColorRef TextColor = 0;
  platform::BrushHandle BackBrush = 0;
  bool OverlayWindow = false;  // frames go to a window of our own (menu "Overlay window")
  bool ScaleToGame = false;    // place and size follow the game's screen (menu "Scale to the game")
  bool DesktopShortcuts = false;  // the desktop passes the hotkeys on (menu "Desktop shortcuts")
  std::array<pad::PadButtons, 3> PadBindings{};  // beside HotKeyCodes; 0: none
};

class Form1 {
 public:
  Form1(platform::Platform& platform, WindowShell& shell, const MainWindowControls& controls);

  // Start-up, before the window shows.
  void Form_Load();
  // Once the window shows: tells the user about stored settings that could not be used.
  void Form_Shown();
  void Form_QueryUnload();

  void Timer1_Timer();
  void Timer2_Timer();

  void Command1_Click();  // "Default keys"
  void Command2_Click();  // "Save keys"
  void Command3_Click();  // "Default X, Y"
  void Command4_Click();  // "Save X, Y"
  void mnuHotkeys_Click();
  void mnuPosition_Click();
  void mnuOverlayWindow_Click();
  void mnuScaleToGame_Click();
  void mnuDesktopShortcuts_Click();
  void mnuAbout_Click();
  void mnuExit_Click();

  controls::qvHotKey& qvHotKey1() { return qvHotKey1_; }
  controls::qvHotKey& qvHotKey2() { return qvHotKey2_; }
  controls::qvHotKey& qvHotKey3() { return qvHotKey3_; }
  // The capture control that has the keyboard focus, or nullptr: while one has it, Timer1
  // reads the pads for its pad binding.
  void captureFocus(controls::qvHotKey* box);
  const controls::qvHotKey* focusedCapture() const { return focusedCapture_; }

  const Form1Record& record() const { return r_; }
  // Whether overlay frames are still to come: Timer2 runs and the program goes on.
  bool framesComing() const;

  // Methods other parts of the window call.
  void funStart();
  void funPause();
  void funStop();
  void fun_FillArrays();
  void fun_UpdatePos();
  void fun_End();

 private:
  platform::Platform& p_;
  WindowShell& shell_;
  MainWindowControls c_;
  Form1Record r_;
  controls::qvHotKey qvHotKey1_;
  controls::qvHotKey qvHotKey2_;
  controls::qvHotKey qvHotKey3_;
  // Flips a checkable menu entry's setting, applies it at once and saves it.
  void toggleSetting(bool& value, MenuEntry& entry, const settings::SettingKey& key,
                     const std::function<void(bool)>& apply);
  // The bindings now polled, handed to the desktop's shortcuts when they are on.
  void useDesktopShortcuts();
  std::string loadNotice_;  // shown once the window is up; empty when all settings were usable
  stopwatch::PadReading pads_;
  controls::qvHotKey* focusedCapture_ = nullptr;
};

}  // namespace tollivane::app
