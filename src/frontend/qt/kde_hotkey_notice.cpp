#include "frontend/qt/kde_hotkey_notice.hpp"

#include <cstdlib>
#include <optional>

#include "app/kwin_eavesdrop.hpp"
#include "platform/posix/settings_location.hpp"
#include "platform/posix/whole_file_read.hpp"

namespace tollivane::frontend::qt {

std::string kdeHotkeyNotice(const std::array<std::int16_t, 3>& codes,
                            const std::array<std::int16_t, 3>& shifts) {
  if (!app::isKdeWaylandSession(std::getenv("XDG_CURRENT_DESKTOP"),
                                std::getenv("WAYLAND_DISPLAY"))) {
    return {};
  }
  const std::string folder =
      platform::posix::userConfigFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  // No file is KWin's default, which keeps every key.
  const std::optional<std::string> kwinrc =
      folder.empty() ? std::nullopt : platform::posix::readWholeFile(folder + "/kwinrc");
  return app::kwinHotkeyNotice(app::kwinEavesdrop(kwinrc.value_or("")), codes, shifts);
}

}  // namespace tollivane::frontend::qt
