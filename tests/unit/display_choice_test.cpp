// Where the Linux program's windows go for each environment it may start in.
#include "frontend/qt/display_choice.hpp"

#include <gtest/gtest.h>

#include <string>

namespace tollivane::frontend::qt {
namespace {

TEST(DisplayChoice, FollowsTheEnvironment) {
  const std::string noDisplay = "tollivane: no display: DISPLAY is not set, so no window can open";
  const struct {
    const char* display;
    const char* wayland;
    const char* platform;
    bool xOpened;
    const char* qpaPlatform;  // what QT_QPA_PLATFORM becomes; null: left alone
    std::string refusal;
  } cases[] = {
      // X opened: Qt goes to the same server unless a platform was chosen.
      {":0", nullptr, nullptr, true, "xcb", ""},
      {":0", "wayland-0", "", true, "xcb", ""},
      {":0", "wayland-0", "wayland", true, nullptr, ""},
      {":0", nullptr, "offscreen", true, nullptr, ""},
      // No X: the windows still open where Qt can put them without it.
      {nullptr, "wayland-0", nullptr, false, nullptr, ""},
      {":9", "wayland-0", nullptr, false, nullptr, ""},
      {nullptr, nullptr, "offscreen", false, nullptr, ""},
      // No X and nothing else to show windows on.
      {":9", nullptr, nullptr, false, nullptr, "tollivane: cannot open the X display \":9\""},
      {":9", "wayland-0", "xcb", false, nullptr, "tollivane: cannot open the X display \":9\""},
      {"", "", "", false, nullptr, noDisplay},
      {nullptr, "wayland-0", "xcb;wayland", false, nullptr, noDisplay},
  };
  for (const auto& c : cases) {
    const DisplayChoice choice = chooseDisplay({.display = c.display,
                                                .waylandDisplay = c.wayland,
                                                .qpaPlatform = c.platform,
                                                .xOpened = c.xOpened});
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
