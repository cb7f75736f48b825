// The windows' controls that the logic reads and writes, and the dialogs around them. Each
// front end (sim, qt, win32) implements these over its own toolkit.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "controls/hotkey_capture/host.hpp"

namespace tollivane::app {

using controls::MessageIcon;
using controls::TextBox;

inline constexpr std::string_view kAppTitle = "Tollivane";

// A periodic timer on the user-interface thread. Interval 0 never ticks; setting the
// interval does not switch the timer on. Ticks due while a handler runs arrive as one.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void setInterval(int milliseconds) = 0;
  virtual void setEnabled(bool on) = 0;
  virtual bool enabled() const = 0;
  virtual int interval() const = 0;
};

class MenuEntry {
 public:
  virtual ~MenuEntry() = default;
  virtual void setCaption(std::string_view caption) = 0;
  virtual bool checked() const = 0;
  virtual void setChecked(bool checked) = 0;
};

// A bordered panel shown or hidden with all it holds.
class Panel {
 public:
  virtual ~Panel() = default;
  virtual void setVisible(bool visible) = 0;
};

class Label {
 public:
  virtual ~Label() = default;
  virtual void setCaption(std::string_view caption) = 0;
};

struct AboutWindowControls;

// The windows' surroundings: message boxes, the About window, run-time errors and the end.
class WindowShell : public controls::MessageBoxes {
 public:
  // Shows the About window modal to the main window, after its Load event, which runs in a
  // handler run of its own; the main window's timers keep ticking. May return before the
  // window closes; the window reports its own close.
  virtual void showAboutModal() = 0;
  // The About window's controls while it loads or is open, else nullptr.
  virtual const AboutWindowControls* aboutControls() const = 0;
  // Closes and discards the About window.
  virtual void unloadAbout() = 0;
  // Reports a run-time error that no handler caught; the program ends right after.
  virtual void reportRuntimeError(int number, std::string_view description) = 0;
  // Ends the program at once; no handler of any window runs afterwards. A simulation may
  // return from it, and then its caller does nothing more.
  virtual void endProgram() = 0;
  // True once endProgram has run.
  virtual bool ended() const = 0;
  // Told at start-up and after each save of the hotkeys which bindings are polled (key codes
  // and modifier masks), so that the window can say when the desktop keeps one from Tollivane.
  virtual void hotkeysInUse(const std::array<std::int16_t, 3>& codes,
                            const std::array<std::int16_t, 3>& shifts) = 0;
};

// The main window's controls that the logic reads and writes.
struct MainWindowControls {
  Timer& Timer1;
  Timer& Timer2;
  TextBox& qvHotKey1;  // the inner box of each capture control
  TextBox& qvHotKey2;
  TextBox& qvHotKey3;
  TextBox& txtX;
  TextBox& txtY;
  Panel& Frame1;
  Panel& Frame2;
  MenuEntry& mnuHotkeys;
  MenuEntry& mnuPosition;
  MenuEntry& mnuOverlayWindow;
  MenuEntry& mnuScaleToGame;
  MenuEntry& mnuDesktopShortcuts;
};

// The About window's one control that the logic writes.
struct AboutWindowControls {
  Label& lblDescription;
};

}  // namespace tollivane::app
