// KWin's "Legacy X11 App Support" read from kwinrc as KConfig writes it, and which bindings
// it keeps from Tollivane while a Wayland window is in front.
#include "app/kwin_eavesdrop.hpp"

#include <gtest/gtest.h>

namespace tollivane::app {
namespace {

using E = KwinEavesdrop;

TEST(KwinEavesdrop, TheSettingIsReadFromItsGroupOnly) {
  const struct {
    const char* kwinrc;
    E setting;
  } cases[] = {
      {"", E::None},
      {"[Xwayland]\nXwaylandEavesdrops=All\n", E::All},
      {"[Xwayland]\r\nXwaylandEavesdrops=Combinations\r\n", E::Combinations},
      {"[Xwayland]\nXwaylandEavesdrops = Modifiers", E::Modifiers},
      {"[Xwayland]\nXwaylandEavesdrops[$i]=all\n", E::All},
      {"[Xwayland]\nXwaylandEavesdrops=Sometimes\n", E::None},
      {"[Xwayland]\nXwaylandEavesdrops=All\nXwaylandEavesdrops=None\n", E::None},
      {"[Xwayland]\n# XwaylandEavesdrops=All\n", E::None},
      {"[Wayland]\nXwaylandEavesdrops=All\n", E::None},
      {"[Xwayland][Sub]\nXwaylandEavesdrops=All\n", E::None},
      {"[Xwayland]\nXwaylandEavesdropsOld=All\n[Compositing]\nXwaylandEavesdrops=All\n", E::None},
      {"[Compositing]\nBackend=OpenGL\n\n[Xwayland]\nScale=1\nXwaylandEavesdrops=All", E::All},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(kwinEavesdrop(c.kwinrc), c.setting) << c.kwinrc;
  }
}

TEST(KwinEavesdrop, OnlyAKdeWaylandSessionCounts) {
  EXPECT_TRUE(isKdeWaylandSession("KDE", "wayland-0"));
  EXPECT_TRUE(isKdeWaylandSession("ubuntu:KDE", "wayland-0"));
  EXPECT_FALSE(isKdeWaylandSession("KDE", nullptr));
  EXPECT_FALSE(isKdeWaylandSession("KDE", ""));
  EXPECT_FALSE(isKdeWaylandSession("GNOME", "wayland-0"));
  EXPECT_FALSE(isKdeWaylandSession("KDEish", "wayland-0"));
  EXPECT_FALSE(isKdeWaylandSession(nullptr, "wayland-0"));
}

TEST(KwinEavesdrop, TheNoticeComesWhenABindingIsKept) {
  constexpr std::int16_t kF5 = 116, kF6 = 117, kF7 = 118;
  constexpr std::array<std::int16_t, 3> keys{kF5, kF6, kF7};
  const struct {
    E setting;
    std::array<std::int16_t, 3> shifts;
    const char* says;  // a part of the notice; null: none
  } cases[] = {
      {E::None, {0, 0, 0}, "keeps the hotkeys"},
      {E::Modifiers, {2, 4, 6}, "keeps the hotkeys"},
      {E::Combinations, {0, 2, 4}, "without Ctrl or Alt"},
      {E::Combinations, {1, 2, 4}, "without Ctrl or Alt"},  // Shift alone is no combination
      {E::Combinations, {2, 4, 7}, nullptr},
      {E::Combinations, {2, 4, 8}, nullptr},  // never polled, never kept
      {E::All, {0, 0, 0}, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.setting));
    const std::string notice = kwinHotkeyNotice(c.setting, keys, c.shifts);
    if (c.says == nullptr) {
      EXPECT_EQ(notice, "");
      continue;
    }
    EXPECT_NE(notice.find(c.says), std::string::npos) << notice;
    EXPECT_NE(notice.find("System Settings > Applications > Legacy X11 App Support"),
              std::string::npos);
    EXPECT_NE(notice.find("every X11 program may read every key"), std::string::npos);
  }
}

}  // namespace
}  // namespace tollivane::app
