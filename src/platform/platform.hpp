// The one interface through which Tollivane's logic reaches the machine: the keyboard, the
// window in front and the files. OS adapters (posix, x11, win32) and the simulation implement
// it; the logic includes nothing else of the operating system. Windows, controls and dialogs
// are the front ends' business (app/window_controls.hpp). Operations that stand for Windows
// calls keep their names (GetAsyncKeyState, DrawTextA); the rest follows ours (README).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tollivane::platform {

// Small value handles; 0 always means "none".
using WindowHandle = std::uintptr_t;
using DeviceContext = std::uintptr_t;
// 0 is the only brush: the logic makes none, and no adapter makes one for it, so the overlay's
// background is never filled and no drawing object is ever released.
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
  // Bit 15: down now. Bit 0: pressed since the last query of this code (a key still down from
  // that press may read without it, as the simulation's held keys do); for Shift, Ctrl and
  // Alt (16, 17, 18 and the sides 0xA0..0xA5), down at some moment since that query, so a held
  // modifier reads 0x8001. Presses of a code not asked for in the last two seconds are not kept
  // (a code not asked for yet counts as asked for when the key state was made), so a binding
  // changed or restored fires on no press from long before. 16, 17, 18 mean either Shift,
  // Ctrl, Alt, and a press of a side counts for them too. A code naming no key gives 0. Never
  // blocks.
  virtual std::int16_t GetAsyncKeyState(std::int16_t keyCode) = 0;
};

// Drawing straight onto whatever window is in front. Every call given a context of 0 does nothing.
class ForegroundSurface {
 public:
  virtual ~ForegroundSurface() = default;
  // The window with the user's attention, or 0.
  virtual WindowHandle GetForegroundWindow() = 0;
  // A context for the client area (the whole screen for window 0), or 0 when none can be had,
  // as for a window that is gone. One at a time: a window of our own has only one to give.
  virtual DeviceContext GetDC(WindowHandle window) = 0;
  // Gives back a context from GetDC, with the same window value.
  virtual void ReleaseDC(WindowHandle window, DeviceContext dc) = 0;
  virtual void SetTextColor(DeviceContext dc, ColorRef color) = 0;
  // Fills nothing, whatever the brush (see BrushHandle).
  virtual void FillRect(DeviceContext dc, const Rect& rect, BrushHandle brush) = 0;
  // The first `count` bytes of `text`, with kDtCenter: centred, at the top, one line, clipped to
  // rect (an inside-out one holds no pixel). A window that goes mid-frame loses that frame.
  virtual void DrawTextA(DeviceContext dc, const char* text, int count, const Rect& rect,
                         unsigned format) = 0;
  // Releases nothing, whatever the handle (see BrushHandle).
  virtual void DeleteObject(BrushHandle object) = 0;
};

// Ours, not Windows calls: how the overlay's frames reach the screen. Each takes effect with
// the next frame.
class OverlayChoices {
 public:
  virtual ~OverlayChoices() = default;
  // On: every frame goes to a window of our own that stays above the window in front. Off:
  // frames are drawn onto the window in front, and go to the window of our own only once that
  // window is seen painting over them. Where no such window can be had, always onto it.
  virtual void setOwnWindow(bool on) = 0;
  // On: the rectangle, a place on a 640 x 480 picture of the game's screen, and its text are
  // scaled to the client area of the window in front (the screen when there is none).
  virtual void setScaleToGame(bool on) = 0;
};

// Ours: the desktop's own shortcuts for the three bindings, where the desktop offers them. While
// on, the desktop hands a binding's presses to the key state beside the keyboard's, and the window
// in front no longer gets those keys. Whether the desktop agrees is the adapter's to tell the
// user; the logic goes on as before either way.
class DesktopShortcuts {
 public:
  virtual ~DesktopShortcuts() = default;
  // On: the bindings (key codes; modifier masks, Shift 1, Ctrl 2, Alt 4) asked of the desktop,
  // replacing any asked before. Off: the desktop is given them back.
  virtual void useDesktopShortcuts(bool on, const std::array<std::int16_t, 3>& codes,
                                   const std::array<std::int16_t, 3>& shifts) = 0;
};

// Ours: game controllers, in XInput's button bits (L2 0x10000 and R2 0x20000: a trigger past
// half way). Read without taking any button from the game.
class PadState {
 public:
  virtual ~PadState() = default;
  // Into out[0..n): each attached pad's buttons that are down now or were down at some moment
  // since the last call; returns n, at most out.size(). Never blocks, never allocates.
  virtual std::size_t readPads(std::span<std::uint32_t> out) = 0;
};

// The one hook adapters get around the program's handler runs (each event's handler with all
// it calls, the About window's load included): told at each run's end.
class RunObserver {
 public:
  virtual ~RunObserver() = default;
  // A run has ended; `framesComing`: whether overlay frames are still to come. A window of our
  // own hides once they are not, since no repaint of the game would ever take it away.
  virtual void runEnds(bool framesComing) = 0;
};

// The largest file read or written, on every system: far above any settings file (a few
// hundred bytes), small enough that reading and rewriting it stays well under a second.
inline constexpr std::size_t kMaxFileSize = 128u << 20;

// The settings file.
class Files {
 public:
  virtual ~Files() = default;
  // The path of the settings file `fileName`: in the program's folder unless the system keeps
  // an installed program's settings elsewhere; empty when the program's folder cannot be
  // found. Only a question: it leaves nothing on disk changed.
  virtual std::string settingsFile(std::string_view fileName) = 0;
  // True when exactly this path names a file (hidden files count, folders do not).
  virtual bool fileExists(const std::string& path) = 0;
  // The whole file, or nothing when it cannot be read (absent, unreadable, not a regular file,
  // larger than kMaxFileSize).
  virtual std::optional<std::string> readFile(const std::string& path) = 0;
  // What an update makes of a file's bytes (nothing when there is no file): the new bytes, or
  // nothing to leave the file as it is.
  using FileEdit = std::function<std::optional<std::string>(const std::optional<std::string>&)>;
  // Reads the file and replaces it with what `edit` makes of it so that it is never seen torn
  // or empty (a temporary file beside it, flushed to disk, renamed over it; a missing folder is
  // made first), other programs' updates of it held off in between so that none is lost.
  // Returns an empty text on success, otherwise the reason in one line (for example
  // "Permission denied"), the file unchanged. A file that is there but cannot be read is left
  // alone; a folder, a file larger than kMaxFileSize and new bytes larger than that are refused
  // ("is a folder, not a regular file", "is larger than 128 MiB", "would be larger than 128 MiB").
  virtual std::string updateFile(const std::string& path, const FileEdit& edit) = 0;
};

// The machine as the logic sees it; a program's main picks one adapter for each.
struct Platform {
  KeyState& keys;
  ForegroundSurface& surface;
  Files& files;
  RunObserver& runs;
  OverlayChoices& overlay;
  DesktopShortcuts& shortcuts;
};

}  // namespace tollivane::platform
