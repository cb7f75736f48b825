// The program among the others on a desktop: its windows carry the class that the desktop
// entry names, and one program runs per settings file: a second start with the same file brings
// the first window to the front and ends, while copies with files of their own run side by side.
#include <signal.h>

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app_process.hpp"
#include "test_client.hpp"
#include "wait_until.hpp"
#include "xvfb.hpp"

namespace tollivane::x11test {
namespace {

using namespace std::chrono_literals;

// The root's children, bottom first.
std::vector<Window> stacking(TestClient& client) {
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  std::vector<Window> order;
  if (XQueryTree(client.display(), client.root(), &root, &parent, &children, &count)) {
    order.assign(children, children + count);
  }
  if (children) XFree(children);
  return order;
}

bool isAbove(TestClient& client, Window upper, Window lower) {
  const auto order = stacking(client);
  const auto u = std::find(order.begin(), order.end(), upper);
  const auto l = std::find(order.begin(), order.end(), lower);
  return u != order.end() && l != order.end() && u > l;
}

// The top-level window (a child of the root) holding the keyboard focus.
Window focusedTopLevel(TestClient& client) {
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(client.display(), &focus, &revert);
  while (focus > PointerRoot) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(client.display(), focus, &root, &parent, &children, &count)) return 0;
    if (children) XFree(children);
    if (parent == root) return focus;
    focus = parent;
  }
  return 0;
}

int countWindowsTitled(TestClient& client, const std::string& title) {
  int count = 0;
  for (Window w : stacking(client)) {
    XWindowAttributes attributes;
    char* name = nullptr;
    if (XGetWindowAttributes(client.display(), w, &attributes) &&
        attributes.map_state == IsViewable && XFetchName(client.display(), w, &name) && name) {
      count += title == name;
    }
    if (name) XFree(name);
  }
  return count;
}

std::string startupWmClass() {
  std::ifstream entry(TOLLIVANE_DESKTOP_ENTRY);
  std::string line;
  while (std::getline(entry, line)) {
    if (line.starts_with("StartupWMClass=")) return line.substr(15);
  }
  return "<none>";
}

class TollivaneOnTheDesktop : public ::testing::Test {
 protected:
  Xvfb server;
  TestClient client{server.display()};
  AppProcess first{TOLLIVANE_EXE, server.display()};
  Window firstWindow = 0;

  void SetUp() override {
    ASSERT_TRUE(waitUntil(kPatience, [&] {
      return findWindowTitled(client, "Tollivane", &firstWindow).has_value() || !first.running();
    }));
    ASSERT_TRUE(first.running()) << first.output();
  }

  std::filesystem::path firstProgram() const { return first.folder() / "tollivane"; }
};

TEST_F(TollivaneOnTheDesktop, TheWindowClassIsTheOneTheDesktopEntryNames) {
  XClassHint hint{};
  ASSERT_TRUE(XGetClassHint(client.display(), firstWindow, &hint));
  const std::string instance = hint.res_name;
  const std::string windowClass = hint.res_class;
  XFree(hint.res_name);
  XFree(hint.res_class);
  EXPECT_EQ(instance, "tollivane");
  EXPECT_EQ(windowClass, startupWmClass());

  Atom type = 0;
  int format = 0;
  unsigned long items = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  ASSERT_EQ(XGetWindowProperty(client.display(), firstWindow,
                               XInternAtom(client.display(), "_NET_WM_ICON", False), 0, 1 << 20,
                               False, XA_CARDINAL, &type, &format, &items, &after, &data),
            Success);
  // Width, height and the pixels, for each size in turn.
  std::set<unsigned long> sizes;
  const auto* icon = reinterpret_cast<const unsigned long*>(data);
  for (unsigned long at = 0; at + 2 <= items && icon[at] == icon[at + 1];
       at += 2 + icon[at] * icon[at + 1]) {
    sizes.insert(icon[at]);
  }
  if (data) XFree(data);
  EXPECT_EQ(sizes, (std::set<unsigned long>{16, 24, 32, 48, 64, 128, 256}))
      << "the window carries the program's icon in every size of the icon theme";
}

TEST_F(TollivaneOnTheDesktop, ASecondStartWithTheSameFileRaisesTheFirstWindowAndEnds) {
  std::this_thread::sleep_for(500ms);  // the first start's own focus change is over
  const Window game = client.createWindow({0, 0, 800, 600}, 0x305070);
  client.focus(game);
  ASSERT_TRUE(isAbove(client, game, firstWindow));

  AppProcess second{firstProgram(), server.display(), AppProcess::InPlace{}};
  EXPECT_EQ(second.waitForExit(10s), 0) << second.output();
  EXPECT_NE(second.output().find("already running"), std::string::npos) << second.output();
  EXPECT_TRUE(waitUntil(kPatience, [&] { return isAbove(client, firstWindow, game); }))
      << "the first window comes to the front";
  EXPECT_TRUE(waitUntil(kPatience, [&] { return focusedTopLevel(client) == firstWindow; }))
      << "and takes the keyboard focus";
  EXPECT_EQ(countWindowsTitled(client, "Tollivane"), 1);
  EXPECT_TRUE(first.running());
}

TEST_F(TollivaneOnTheDesktop, UnderAWindowManagerTheFirstWindowIsActivatedAsAPagerAsks) {
  // The test plays the window manager: it takes the root's redirection and says it supports
  // _NET_ACTIVE_WINDOW, which the program must then ask for instead of taking the focus.
  Display* wm = XOpenDisplay(server.display().c_str());
  ASSERT_NE(wm, nullptr);
  const Window root = DefaultRootWindow(wm);
  const Atom active = XInternAtom(wm, "_NET_ACTIVE_WINDOW", False);
  XSelectInput(wm, root, SubstructureRedirectMask);
  XChangeProperty(wm, root, XInternAtom(wm, "_NET_SUPPORTED", False), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&active), 1);
  XSync(wm, False);

  AppProcess second{firstProgram(), server.display(), AppProcess::InPlace{}};
  EXPECT_EQ(second.waitForExit(10s), 0) << second.output();
  std::optional<XClientMessageEvent> request;
  waitUntil(5s, [&] {
    while (!request && XPending(wm) > 0) {
      XEvent event;
      XNextEvent(wm, &event);
      if (event.type == ClientMessage && event.xclient.message_type == active) {
        request = event.xclient;
      }
    }
    return request.has_value();
  });
  XCloseDisplay(wm);
  ASSERT_TRUE(request) << "no _NET_ACTIVE_WINDOW request reached the window manager";
  EXPECT_EQ(request->window, firstWindow);
  EXPECT_EQ(request->format, 32);
  EXPECT_EQ(request->data.l[0], 2) << "asked as a pager";
}

TEST_F(TollivaneOnTheDesktop, CopiesWithTheirOwnSettingsFilesRunSideBySide) {
  AppProcess other{TOLLIVANE_EXE, server.display()};
  EXPECT_TRUE(waitUntil(kPatience, [&] { return countWindowsTitled(client, "Tollivane") == 2; }))
      << other.output();
  EXPECT_TRUE(other.running());
  EXPECT_TRUE(first.running());
}

TEST_F(TollivaneOnTheDesktop, AKilledFirstInstanceDoesNotStopTheNextStart) {
  ::kill(first.pid(), SIGKILL);
  ASSERT_NE(first.waitForExit(5s), -1);
  ASSERT_TRUE(waitUntil(kPatience, [&] { return countWindowsTitled(client, "Tollivane") == 0; }));

  AppProcess next{firstProgram(), server.display(), AppProcess::InPlace{}};
  EXPECT_TRUE(waitUntil(kPatience, [&] { return countWindowsTitled(client, "Tollivane") == 1; }))
      << next.output();
  EXPECT_TRUE(next.running()) << next.output();
}

}  // namespace
}  // namespace tollivane::x11test
