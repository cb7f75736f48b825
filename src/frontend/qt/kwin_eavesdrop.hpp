// KWin's own switch for what X11 programs may read of the keys typed into a Wayland window
// ("Legacy X11 App Support", XwaylandEavesdrops in kwinrc): read, never changed, so that the
// main window can say when it keeps a bound hotkey from Tollivane.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tollivane::frontend::qt {

enum class KwinEavesdrop {
  None,          // "Never", KWin's default
  Modifiers,     // only Shift, Ctrl, Alt and Meta themselves
  Combinations,  // as above, and any key typed while Ctrl, Alt or Meta is down
  All,           // "Always"
};

// The setting in kwinrc's text; KWin's default where the file does not name a known one.
KwinEavesdrop kwinEavesdrop(std::string_view kwinrc);

// True in a Plasma session on Wayland: XDG_CURRENT_DESKTOP lists KDE, WAYLAND_DISPLAY is set.
// Either may be null.
bool isKdeWaylandSession(const char* currentDesktop, const char* waylandDisplay);

// What to tell the user when `setting` keeps one of the bindings (key codes and modifier masks)
// from Tollivane while a Wayland window is in front; empty when it keeps none.
std::string kwinHotkeyNotice(KwinEavesdrop setting, const std::array<std::int16_t, 3>& codes,
                             const std::array<std::int16_t, 3>& shifts);

}  // namespace tollivane::frontend::qt
