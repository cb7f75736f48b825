// KWin's "Legacy X11 App Support" read from kwinrc as KConfig writes it, and which bindings it
// keeps from Tollivane while a Wayland window is in front.
#include "frontend/qt/kwin_eavesdrop.hpp"

#include <gtest/gtest.h>

namespace tollivane::frontend::qt {
namespace {

using E = KwinEavesdrop;

TEST(KwinEavesdrop, TheSettingIsReadFromItsGroupOnly) {
  const std::pair<const char*, E> cases[] = {
      {"", E::None},
      {"[Compositing]\nBackend=OpenGL\n\n[Xwayland]\nScale=1\nXwaylandEavesdrops=All", E::All},
      {"[Xwayland]\r\nXwaylandEavesdrops = Combinations\r\n", E::Combinations},
      {"[Xwayland]\nXwaylandEavesdrops[$i]=modifiers\n", E::Modifiers},
      {"[Xwayland]\nXwaylandEavesdrops=Sometimes\n", E::None},
      {"[Xwayland]\nXwaylandEavesdrops=All\nXwaylandEavesdrops=None\n", E::None},
      {"[Xwayland]\n# XwaylandEavesdrops=All\n", E::None},
      {"[Xwayland][Sub]\nXwaylandEavesdrops=All\n[Wayland]\nXwaylandEavesdrops=All\n", E::None},
  };
  for (const auto& [kwinrc, setting] : cases) EXPECT_EQ(kwinEavesdrop(kwinrc), setting) << kwinrc;
  EXPECT_TRUE(isKdeWaylandSession("ubuntu:KDE", "wayland-0"));
  EXPECT_FALSE(isKdeWaylandSession("KDE", ""));
}

TEST(KwinEavesdrop, TheNoticeComesWhenABindingIsKept) {
  const struct {
    E setting;
    std::array<std::int16_t, 3> shifts;
    const char* says;  // a part of the notice; null: none
  } cases[] = {
      {E::None, {0, 0, 0}, "keeps the hotkeys"},
      {E::Combinations, {1, 2, 4}, "without Ctrl or Alt"},  // Shift alone is no combination
      {E::Combinations, {2, 4, 8}, nullptr},                // never polled, never kept
      {E::All, {0, 0, 0}, nullptr},
  };
  for (const auto& c : cases) {
    const std::string notice = kwinHotkeyNotice(c.setting, {116, 117, 118}, c.shifts);
    if (c.says == nullptr) {
      EXPECT_EQ(notice, "");
      continue;
    }
    EXPECT_NE(notice.find(c.says), notice.npos) << notice;
    EXPECT_NE(notice.find("Applications > Legacy X11 App Support"), notice.npos);
    EXPECT_NE(notice.find("every X11 program may read every key"), notice.npos);
  }
}

}  // namespace
}  // namespace tollivane::frontend::qt
