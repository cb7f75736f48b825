#include "frontend/qt/kwin_eavesdrop.hpp"

#include <algorithm>
#include <cctype>

#include "common/virtual_keys.hpp"

namespace tollivane::frontend::qt {
namespace {

std::string_view trimmed(std::string_view text) {
  const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

constexpr std::string_view kWhere = "System Settings > Applications > Legacy X11 App Support";

}  // namespace

KwinEavesdrop kwinEavesdrop(std::string_view kwinrc) {
  KwinEavesdrop setting = KwinEavesdrop::None;
  bool inGroup = false;
  while (!kwinrc.empty()) {
    const std::size_t end = std::min(kwinrc.find('\n'), kwinrc.size());
    const std::string_view line = trimmed(kwinrc.substr(0, end));
    kwinrc.remove_prefix(std::min(end + 1, kwinrc.size()));
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      inGroup = line == "[Xwayland]";
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!inGroup || equals == std::string_view::npos) continue;
    // A key may carry flags or a locale in brackets: XwaylandEavesdrops[$i]=All.
    std::string_view key = line.substr(0, equals);
    key = trimmed(key.substr(0, key.find('[')));
    if (key != "XwaylandEavesdrops") continue;
    const std::string_view value = trimmed(line.substr(equals + 1));
    // The last entry counts, as KConfig reads it; a value KWin does not know is its default.
    setting = KwinEavesdrop::None;
    for (const auto& [name, known] : {std::pair{"Modifiers", KwinEavesdrop::Modifiers},
                                      std::pair{"Combinations", KwinEavesdrop::Combinations},
                                      std::pair{"All", KwinEavesdrop::All}}) {
      if (equalIgnoringCase(value, name)) setting = known;
    }
  }
  return setting;
}

bool isKdeWaylandSession(const char* currentDesktop, const char* waylandDisplay) {
  if (currentDesktop == nullptr || waylandDisplay == nullptr || *waylandDisplay == '\0') {
    return false;
  }
  std::string_view desktops = currentDesktop;
  while (!desktops.empty()) {
    const std::size_t colon = std::min(desktops.find(':'), desktops.size());
    if (equalIgnoringCase(desktops.substr(0, colon), "KDE")) return true;
    desktops.remove_prefix(std::min(colon + 1, desktops.size()));
  }
  return false;
}

std::string kwinHotkeyNotice(KwinEavesdrop setting, const std::array<std::int16_t, 3>& codes,
                             const std::array<std::int16_t, 3>& shifts) {
  bool kept = false;
  for (std::size_t i = 0; i < codes.size(); ++i) {
    // A binding the poller never fires is kept from nothing.
    if (codes[i] == 0 || shifts[i] < 0 || shifts[i] > vk::kAllModifiers) continue;
    const bool withCtrlOrAlt = (shifts[i] & (vk::kControlBit | vk::kAltBit)) != 0;
    kept |= setting == KwinEavesdrop::None || setting == KwinEavesdrop::Modifiers ||
            (setting == KwinEavesdrop::Combinations && !withCtrlOrAlt);
  }
  if (!kept) return {};
  const std::string opening = "While a Wayland window is in front, KDE keeps ";
  const std::string cost = ". With \"Always\", every X11 program may read every key you type.";
  if (setting == KwinEavesdrop::Combinations) {
    return opening + "hotkeys without Ctrl or Alt from Tollivane. Give them Ctrl or Alt, or " +
           "choose \"Always\" in " + std::string(kWhere) + cost;
  }
  return opening + "the hotkeys from Tollivane. To let them through, choose \"Always\" in " +
         std::string(kWhere) + ", or the choice above it for hotkeys with Ctrl or Alt" + cost;
}

}  // namespace tollivane::frontend::qt
