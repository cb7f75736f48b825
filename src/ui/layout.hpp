// Windows and their controls as data: kinds, captions, geometry in twips, colours,
// visibility and focus order. Front ends build their widgets from these tables.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tollivane::ui {

enum class ControlKind {
  Panel,    // bordered panel, optional caption
  Picture,  // picture at its natural size; its caption names the artwork ("banner", "icon")
  Label,
  TextBox,  // single-line
  Button,
  HotKeyCapture,  // qvHotKey
};

struct Rgb {
  std::uint8_t r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct ControlLayout {
  std::string_view name;  // "Frame1", "qvHotKey1", "txtX", ...
  ControlKind kind;
  std::string_view parent{};                     // "" for the window itself
  std::string_view caption{};                    // caption or initial text
  int left = 0, top = 0, width = 0, height = 0;  // twips, relative to the parent
  bool visible = true;                           // at start
  std::optional<int> tabIndex{};  // place in the focus order; labels and panels hold one but never
                                  // take the focus (see takesFocus); none for pictures
  std::optional<Rgb> background{};
  std::optional<Rgb> foreground{};
  bool transparent = false;  // labels drawn without a background
  bool multiLine = false;
  bool isDefault = false;  // the window's default button
  bool isCancel = false;   // the window's cancel button
};

struct MenuEntryLayout {
  std::string_view name;     // "mnuHotkeys"; separators "mnuRazdel", "mnuRazdel1"
  std::string_view caption;  // "-" for a separator
  bool checkable = false;
  std::string_view checkedCaption{};  // the caption while checked, where the logic changes it
  std::string_view help{};            // a line on what the entry does, where it needs one
  bool linuxOnly = false;             // Windows needs it not, and shows it not
};

enum class StartPosition {
  CenterScreen,
  CenterOwner,
};

struct WindowLayout {
  std::string_view caption;
  int clientWidth, clientHeight;  // twips
  std::optional<Rgb> background{};
  std::span<const ControlLayout> controls{};
  std::string_view menuName{};  // "" for none
  std::string_view menuCaption{};
  std::span<const MenuEntryLayout> menu{};
  // The window's timers, made in this order: at a shared instant the first ticks first.
  std::span<const std::string_view> timers{};
  // Both kinds of window have a fixed border and a close button.
  bool minimizeButton = false;
  StartPosition startPosition = StartPosition::CenterScreen;
};

// Whether a control of this kind can hold the keyboard focus.
constexpr bool takesFocus(ControlKind kind) {
  return kind == ControlKind::TextBox || kind == ControlKind::Button ||
         kind == ControlKind::HotKeyCapture;
}

// The maker's notice under the banner and in the About window.
inline constexpr std::string_view kCopyrightNotice = "(c) Tollivane";

const WindowLayout& mainWindowLayout();
const WindowLayout& aboutWindowLayout();

// The control of that name in the window, or nullptr.
const ControlLayout* findControl(const WindowLayout& window, std::string_view name);
// The menu entry of that name in the window, or nullptr.
const MenuEntryLayout* findMenuEntry(const WindowLayout& window, std::string_view name);
// The window's default button (Enter) and cancel button (Esc), or nullptr.
const ControlLayout* defaultButton(const WindowLayout& window);
const ControlLayout* cancelButton(const WindowLayout& window);

// The hotkey capture box's own look, the same in every front end: grey, black text, its own
// font whatever the window's.
struct CaptureBoxLook {
  Rgb background;
  Rgb text;
  std::string_view fontFace;
  int fontPoints;
};
inline constexpr CaptureBoxLook kCaptureBoxLook{{192, 192, 192}, {0, 0, 0}, "MS Sans Serif", 10};

inline constexpr double kTwipsPerInch = 1440.0;

// Twips to pixels: 15 twips a pixel at 96 dpi, scaled by the screen's logical dpi.
constexpr int twipsToPixels(int twips, double dpi = 96.0) {
  const double px = twips * dpi / kTwipsPerInch;
  return static_cast<int>(px >= 0 ? px + 0.5 : px - 0.5);
}

}  // namespace tollivane::ui
