// The one interface through which Tollivane's logic reaches the world.
// Backends (sim, qt, x11, later win32) implement it; the logic includes nothing else
// of the operating system or a toolkit.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tollivane::platform {

// Small value handles; 0 always means "none".
using WindowHandle = std::uintptr_t;
using DeviceContext = std::uintptr_t;
using BrushHandle = std::uintptr_t;
using ColorRef = std::uint32_t;  // 0x00BBGGRR

struct Rect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;   // just outside
  std::int32_t Bottom = 0;  // just outside
  friend bool operator==(const Rect&, const Rect&) = default;
};

inline constexpr unsigned kDtCenter = 1;

// Global keyboard state, read without grabbing or consuming any key.
class KeyState {
 public:
  virtual ~KeyState() = default;
  // Bit 15: down now. Bit 0: pressed since the last query of this code.
  // 16, 17, 18 mean either Shift, Ctrl, Alt. A code naming no key gives 0. Never blocks.
  virtual std::int16_t GetAsyncKeyState(std::int16_t keyCode) = 0;
};

// Drawing straight onto whatever window is in front. Every call given a context of 0 does nothing.
class ForegroundSurface {
 public:
  virtual ~ForegroundSurface() = default;
  // The window with the user's attention, or 0.
  virtual WindowHandle GetForegroundWindow() = 0;
  // A context for the client area (the whole screen for window 0), or 0 when none can be had.
  virtual DeviceContext GetDC(WindowHandle window) = 0;
  // Gives back a context from GetDC, with the same window value.
  virtual void ReleaseDC(WindowHandle window, DeviceContext dc) = 0;
  virtual void SetTextColor(DeviceContext dc, ColorRef color) = 0;
  // Brush 0 fills nothing.
  virtual void FillRect(DeviceContext dc, const Rect& rect, BrushHandle brush) = 0;
  // The first `count` bytes of `text`, with kDtCenter: centred, at the top, one line, clipped to
  // rect.
  virtual void DrawTextA(DeviceContext dc, const char* text, int count, const Rect& rect,
                         unsigned format) = 0;
  // Releases a drawing object; 0 is harmless.
  virtual void DeleteObject(BrushHandle object) = 0;
};

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

// A single-line text box (also the inner box of a capture control).
class TextBox {
 public:
  virtual ~TextBox() = default;
  virtual std::string text() const = 0;
  virtual void setText(std::string_view text) = 0;
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

enum class MessageIcon { None, Information };

inline constexpr std::string_view kAppTitle = "Tollivane";

// What surrounds the program: its folder, its files, its dialogs and its end.
class Shell {
 public:
  virtual ~Shell() = default;
  // The folder holding the program, without a trailing separator except at a root; empty
  // when it cannot be found.
  virtual std::string programFolder() = 0;
  // The separator that joins a folder and a file name ('/' or '\\').
  virtual char pathSeparator() const = 0;
  // True when exactly this path names a file (hidden files count, folders do not).
  virtual bool fileExists(const std::string& path) = 0;
  // The whole file, or nothing when it cannot be read (absent, unreadable).
  virtual std::optional<std::string> readFile(const std::string& path) = 0;
  // Replaces the file with `bytes` so that it is never seen torn or empty: a temporary
  // file beside it, flushed to disk, then renamed over it. Returns an empty text on
  // success, otherwise the reason (for example "Permission denied").
  virtual std::string replaceFile(const std::string& path, std::string_view bytes) = 0;
  // What an update makes of a file's bytes (nothing when there is no file): the new bytes, or
  // nothing to leave the file as it is.
  using FileEdit = std::function<std::optional<std::string>(const std::optional<std::string>&)>;
  // Reads the file and replaces it as replaceFile does with what `edit` makes of it, other
  // programs' updates of it held off in between so that none is lost. Returns as replaceFile
  // does; a file that is there but cannot be read is left alone.
  virtual std::string updateFile(const std::string& path, const FileEdit& edit) {
    const auto current = readFile(path);
    if (!current && fileExists(path)) return "the existing file cannot be read";
    const auto updated = edit(current);
    return updated ? replaceFile(path, *updated) : std::string();
  }
  // Modal, OK only; returns when closed.
  virtual void messageBox(std::string_view prompt, MessageIcon icon, std::string_view title) = 0;
  // Shows the About window modal to the main window; the main window's timers keep ticking.
  // May return before the window closes; the window reports its own close.
  virtual void showAboutModal() = 0;
  // Closes and discards the About window.
  virtual void unloadAbout() = 0;
  // Reports a run-time error that no handler caught; the program ends right after.
  virtual void reportRuntimeError(int number, std::string_view description) = 0;
  // Ends the program at once; no handler of any window runs afterwards. A simulation may
  // return from it, and then its caller does nothing more.
  virtual void endProgram() = 0;
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
};

// The About window's one control that the logic writes.
struct AboutWindowControls {
  Label& lblDescription;
};

// Everything a front end hands to the logic.
struct Platform {
  KeyState& keys;
  ForegroundSurface& surface;
  Shell& shell;
};

}  // namespace tollivane::platform
