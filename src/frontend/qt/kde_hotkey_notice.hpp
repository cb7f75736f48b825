// What KWin's "Legacy X11 App Support" setting means for the hotkeys, read from the user's
// kwinrc in a KDE Wayland session; never written.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tollivane::frontend::qt {

// The line to show, or empty outside a KDE Wayland session and when KWin lets them all through.
std::string kdeHotkeyNotice(const std::array<std::int16_t, 3>& codes,
                            const std::array<std::int16_t, 3>& shifts);

}  // namespace tollivane::frontend::qt
