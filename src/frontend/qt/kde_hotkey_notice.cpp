#include "frontend/qt/kde_hotkey_notice.hpp"

#include <cstdlib>
#include <optional>

#include "frontend/qt/kwin_eavesdrop.hpp"
#include "platform/posix/settings_location.hpp"
#include "platform/posix/whole_file_read.hpp"

namespace tollivane::frontend::qt {

std::string kdeHotkeyNotice(const std::array<std::int16_t, 3>& codes,
                            const std::array<std::int16_t, 3>& shifts) {
  if (!isKdeWaylandSession(std::getenv("XDG_CURRENT_DESKTOP"),
                                std::getenv("WAYLAND_DISPLAY"))) {
    return {};
  }
  const std::string folder =
      platform::posix::userConfigFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  // No file is KWin's default, which keeps every key. The file holds a few dozen lines: one
  // far larger is no kwinrc of KWin's, and is not read whole at every start.
  constexpr std::size_t kLargestKwinrc = 1 << 20;
  const std::optional<std::string> kwinrc =
      folder.empty() ? std::nullopt
                     : platform::posix::readWholeFile(folder + "/kwinrc", kLargestKwinrc);
  return kwinHotkeyNotice(kwinEavesdrop(kwinrc.value_or("")), codes, shifts);
}

}  // namespace tollivane::frontend::qt
