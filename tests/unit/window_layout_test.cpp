#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "ui/layout.hpp"

namespace tollivane::ui {
namespace {

struct Box {
  int left, top, right, bottom;
};

// A control's rectangle in the window's client coordinates.
Box absoluteBox(const WindowLayout& window, const ControlLayout& c) {
  Box b{c.left, c.top, c.left + c.width, c.top + c.height};
  for (std::string_view parent = c.parent; !parent.empty();) {
    const ControlLayout* p = findControl(window, parent);
    if (p == nullptr) {
      ADD_FAILURE() << c.name << " has an unknown parent " << parent;
      break;
    }
    b = {b.left + p->left, b.top + p->top, b.right + p->left, b.bottom + p->top};
    parent = p->parent;
  }
  return b;
}

bool inside(const Box& inner, const Box& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

std::vector<std::string_view> focusOrder(const WindowLayout& window) {
  std::vector<const ControlLayout*> ordered;
  for (const ControlLayout& c : window.controls) {
    if (c.tabIndex) ordered.push_back(&c);
  }
  std::sort(ordered.begin(), ordered.end(), [](const ControlLayout* a, const ControlLayout* b) {
    return *a->tabIndex < *b->tabIndex;
  });
  std::vector<std::string_view> names;
  for (const ControlLayout* c : ordered) names.push_back(c->name);
  return names;
}

class BothWindows : public ::testing::TestWithParam<const WindowLayout* (*)()> {};

TEST_P(BothWindows, NamesAndTabIndicesAreUniqueAndEveryControlFitsItsParent) {
  const WindowLayout& window = *GetParam()();
  std::set<std::string_view> names;
  std::set<int> tabs;
  const Box client{0, 0, window.clientWidth, window.clientHeight};
  for (const ControlLayout& c : window.controls) {
    EXPECT_TRUE(names.insert(c.name).second) << "duplicate " << c.name;
    if (c.tabIndex) {
      EXPECT_TRUE(tabs.insert(*c.tabIndex).second) << "duplicate tab " << c.name;
    }
    EXPECT_EQ(findControl(window, c.name), &c);
    EXPECT_TRUE(inside(absoluteBox(window, c), client)) << c.name << " leaves the window";
    if (!c.parent.empty()) {
      const ControlLayout* p = findControl(window, c.parent);
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(p->kind, ControlKind::Panel) << c.name;
      EXPECT_TRUE(inside(absoluteBox(window, c), absoluteBox(window, *p))) << c.name;
    }
  }
  EXPECT_EQ(findControl(window, "NoSuchControl"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Windows, BothWindows,
                         ::testing::Values(
                             +[] { return &mainWindowLayout(); },
                             +[] { return &aboutWindowLayout(); }));

TEST(MainWindowLayout, PanelsShareOneRectangleThatCoversThePictureButNotTheNotice) {
  const WindowLayout& w = mainWindowLayout();
  const ControlLayout* frame1 = findControl(w, "Frame1");
  const ControlLayout* frame2 = findControl(w, "Frame2");
  const ControlLayout* picture = findControl(w, "Image1");
  const ControlLayout* notice = findControl(w, "Label4");
  ASSERT_TRUE(frame1 && frame2 && picture && notice);
  const Box panel = absoluteBox(w, *frame1);
  const Box other = absoluteBox(w, *frame2);
  EXPECT_EQ(std::tie(panel.left, panel.top, panel.right, panel.bottom),
            std::tie(other.left, other.top, other.right, other.bottom));
  EXPECT_TRUE(inside(absoluteBox(w, *picture), panel));
  EXPECT_GE(absoluteBox(w, *notice).top, panel.bottom);
  // The banner is drawn unscaled: its box is exactly 257 x 140 pixels.
  EXPECT_EQ(twipsToPixels(picture->width), 257);
  EXPECT_EQ(twipsToPixels(picture->height), 140);
  EXPECT_FALSE(frame1->visible);
  EXPECT_FALSE(frame2->visible);
  EXPECT_TRUE(picture->visible);
  EXPECT_TRUE(notice->visible);
}

// Tab walks a panel's controls right after the panel itself, never mixing two panels.
TEST(MainWindowLayout, FocusRunsThroughEachPanelInItsOwnOrder) {
  const WindowLayout& w = mainWindowLayout();
  const std::vector<std::string_view> order = focusOrder(w);
  for (const ControlLayout& panel : w.controls) {
    if (panel.kind != ControlKind::Panel || !panel.tabIndex) continue;
    const auto at = std::find(order.begin(), order.end(), panel.name);
    auto next = at + 1;
    while (next != order.end() && findControl(w, *next)->parent == panel.name) ++next;
    std::size_t inPanel = 0;
    for (const ControlLayout& c : w.controls) {
      if (c.parent == panel.name && c.tabIndex) ++inPanel;
    }
    EXPECT_EQ(static_cast<std::size_t>(next - at - 1), inPanel) << panel.name;
    EXPECT_GT(inPanel, 0u) << panel.name;
  }
}

// Separators are "-" and never checked; the entries that can be checked come first, and Exit
// is last.
TEST(MainWindowLayout, MenuChecksComeBeforeTheSeparatorsAndExitIsLast) {
  const WindowLayout& w = mainWindowLayout();
  EXPECT_EQ(w.menuCaption, "Menu");
  ASSERT_GE(w.menu.size(), 4u);
  std::set<std::string_view> names;
  bool pastSeparator = false;
  for (const MenuEntryLayout& e : w.menu) {
    EXPECT_TRUE(names.insert(e.name).second) << e.name;
    EXPECT_EQ(e.name.starts_with("mnuRazdel"), e.caption == "-") << e.name;
    pastSeparator = pastSeparator || e.caption == "-";
    EXPECT_FALSE(pastSeparator && e.checkable) << e.name;
    // Only the desktop's shortcuts are Linux's alone, and they say what they cost.
    const bool desktop = e.name == "mnuDesktopShortcuts";
    EXPECT_EQ(e.linuxOnly, desktop) << e.name;
    EXPECT_EQ(e.help.find("no longer gets those keys") != std::string_view::npos, desktop);
  }
  EXPECT_EQ(w.menu.back().caption, "Exit");
  EXPECT_EQ(findMenuEntry(w, "mnuOverlayWindow")->checkable, true);
}

TEST(AboutWindowLayout, OnlyTheOkButtonTakesFocusAndItIsFirst) {
  const WindowLayout& w = aboutWindowLayout();
  const std::vector<std::string_view> expected = {"cmdOK",          "Label1",   "Frame1",
                                                  "lblDescription", "lblTitle", "lblVersion"};
  EXPECT_EQ(focusOrder(w), expected);
  for (const ControlLayout& c : w.controls) {
    EXPECT_EQ(takesFocus(c.kind), c.name == "cmdOK") << c.name;
  }
  const ControlLayout* ok = findControl(w, "cmdOK");
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(ok->isDefault && ok->isCancel);
  EXPECT_EQ(w.startPosition, StartPosition::CenterOwner);
  EXPECT_FALSE(w.minimizeButton);
}

}  // namespace
}  // namespace tollivane::ui
