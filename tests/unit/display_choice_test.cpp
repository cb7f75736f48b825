// Where the Linux program's windows go for each environment it may start in.
#include "frontend/qt/display_choice.hpp"

#include <gtest/gtest.h>

#include <string>

namespace tollivane::frontend::qt {
namespace {

bool installed() { return true; }
bool missing() { return false; }
bool neverAsked() {
  ADD_FAILURE() << "asked whether Qt supports Wayland where it does not matter";
  return false;
}

TEST(DisplayChoice, FollowsTheEnvironment) {
  const std::string noDisplay = "tollivane: no display: DISPLAY is not set, so no window can open";
  const std::string noWayland =
      "tollivane: no X display, and Qt's Wayland support is not installed: install the package "
      "qt6-wayland, or start Tollivane where DISPLAY names an X server";
  const struct {
    const char* display;
    const char* wayland;
    const char* platform;
    bool xOpened;
    bool (*qtHasWayland)();
    const char* qpaPlatform;  // what QT_QPA_PLATFORM becomes; null: left alone
    std::string refusal;
  } cases[] = {
      // X opened: Qt goes to the same server unless a platform was chosen.
      {":0", nullptr, nullptr, true, neverAsked, "xcb", ""},
      {":0", "wayland-0", "", true, neverAsked, "xcb", ""},
      {":0", "wayland-0", "wayland", true, neverAsked, nullptr, ""},
      {":0", nullptr, "offscreen", true, neverAsked, nullptr, ""},
      // No X: a platform the user chose, or Wayland named outright when Qt supports it.
      {nullptr, nullptr, "offscreen", false, neverAsked, nullptr, ""},
      {":9", "wayland-0", "wayland", false, neverAsked, nullptr, ""},
      {nullptr, "wayland-0", nullptr, false, installed, "wayland", ""},
      {":9", "wayland-0", "", false, installed, "wayland", ""},
      {nullptr, "wayland-0", nullptr, false, missing, nullptr, noWayland},
      // No X and nothing else to show windows on.
      {":9", nullptr, nullptr, false, neverAsked, nullptr,
       "tollivane: cannot open the X display \":9\""},
      {":9", "wayland-0", "xcb", false, neverAsked, nullptr,
       "tollivane: cannot open the X display \":9\""},
      {"", "", "", false, neverAsked, nullptr, noDisplay},
      {nullptr, "wayland-0", "xcb;wayland", false, neverAsked, nullptr, noDisplay},
  };
  for (const auto& c : cases) {
    const DisplayChoice choice = chooseDisplay({.display = c.display,
                                                .waylandDisplay = c.wayland,
                                                .qpaPlatform = c.platform,
                                                .xOpened = c.xOpened,
                                                .qtHasWayland = c.qtHasWayland});
    const std::string label = std::string("DISPLAY=") + (c.display ? c.display : "(unset)") +
                              " WAYLAND_DISPLAY=" + (c.wayland ? c.wayland : "(unset)") +
                              " QT_QPA_PLATFORM=" + (c.platform ? c.platform : "(unset)") +
                              (c.xOpened ? " X opened" : " no X");
    EXPECT_STREQ(choice.qpaPlatform, c.qpaPlatform) << label;
    EXPECT_EQ(choice.refusal, c.refusal) << label;
  }
}

}  // namespace
}  // namespace tollivane::frontend::qt
