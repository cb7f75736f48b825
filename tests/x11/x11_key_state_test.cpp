// The global key state: keys pressed and tapped through XTEST, read back by the backend.
#include "backend_fixture.hpp"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace tollivane::x11test {
namespace {

TEST_F(X11Backend, KeyStateShowsHeldKeysAndRemembersTapsUntilQueried) {
  struct Case {
    int vk;
    KeySym pressed;
  };
  const Case cases[] = {{116, XK_F5},     {123, XK_F12},      {65, XK_a},     {90, XK_z},
                        {49, XK_1},       {103, XK_KP_7},     {37, XK_Left},  {0xBA, XK_semicolon},
                        {16, XK_Shift_R}, {17, XK_Control_R}, {18, XK_Alt_L}, {0xA2, XK_Control_L}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vk);
    EXPECT_EQ(query(c.vk), 0);
    client.key(c.pressed, true);
    EXPECT_EQ(query(c.vk), static_cast<std::int16_t>(0x8001));
    EXPECT_EQ(query(c.vk), static_cast<std::int16_t>(0x8000));
    client.key(c.pressed, false);
    EXPECT_EQ(query(c.vk), 0);
    client.tap(c.pressed, std::chrono::milliseconds(30));
    EXPECT_EQ(query(c.vk), 1);
    EXPECT_EQ(query(c.vk), 0);
  }
}

TEST_F(X11Backend, OnlyQueriedKeysAreTrackedAndUnknownCodesGiveZero) {
  client.tap(XK_F6, std::chrono::milliseconds(20));
  EXPECT_EQ(query(117), 0) << "a tap before the key was ever asked for is not kept";

  client.key(XK_F5, true);
  for (int unknown : {0, 7, 0x88, 255, -1, 300}) EXPECT_EQ(query(unknown), 0) << unknown;
  EXPECT_LT(query(116), 0);
  client.key(XK_F5, false);
}

TEST_F(X11Backend, AKeyNoLongerAskedForKeepsNoPressForLater) {
  query(117);
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));  // unbound: no poll asks
  client.tap(XK_F6, std::chrono::milliseconds(20));
  EXPECT_EQ(query(117), 0) << "a press while the key was not bound would fire a new binding";
  client.tap(XK_F6, std::chrono::milliseconds(20));
  EXPECT_EQ(query(117), 1);
}

// A poll of three Shift+Ctrl+Alt bindings: twelve queries, one reading of the keyboard, taken
// in the run itself.
TEST_F(X11Backend, OneHandlerRunReadsTheKeyboardOnce) {
  const std::vector<XID> ours = sessionClient();
  ASSERT_EQ(ours.size(), 1u);
  auto keyState = [&](int vk) {
    return session->keys().GetAsyncKeyState(static_cast<std::int16_t>(vk));
  };
  client.key(XK_Shift_L, true);
  settle();
  XTraffic traffic(server.display(), ours);
  session->handlerRunStarts();
  for (int key : {116, 117, 118}) {
    EXPECT_LT(keyState(16), 0) << "Shift is down";
    EXPECT_EQ(keyState(17), 0);
    EXPECT_EQ(keyState(18), 0);
    EXPECT_EQ(keyState(key), 0);
  }
  client.key(XK_F5, true);
  EXPECT_EQ(keyState(116), 0) << "pressed after the run's reading: for the next run";
  EXPECT_EQ(traffic.finish().replies, 1);

  session->handlerRunStarts();
  EXPECT_EQ(keyState(116), static_cast<std::int16_t>(0x8001));
  client.key(XK_F5, false);
  client.key(XK_Shift_L, false);
}

TEST_F(X11Backend, KeysStillReachTheFocusedWindow) {
  client.focus(window);
  query(116);
  client.tap(XK_F5, std::chrono::milliseconds(20));
  EXPECT_EQ(query(116), 1);
  XEvent event;
  ASSERT_TRUE(XCheckWindowEvent(client.display(), window, KeyPressMask, &event));
  EXPECT_EQ(XkbKeycodeToKeysym(client.display(), static_cast<KeyCode>(event.xkey.keycode), 0, 0),
            static_cast<KeySym>(XK_F5));
}

TEST_F(X11Backend, KeyStateFollowsAChangedKeyboardMapping) {
  Display* d = client.display();
  int minCode = 0;
  int maxCode = 0;
  XDisplayKeycodes(d, &minCode, &maxCode);
  int spare = 0;
  for (int code = maxCode; code >= minCode && spare == 0; --code) {
    if (XkbKeycodeToKeysym(d, static_cast<KeyCode>(code), 0, 0) == NoSymbol) spare = code;
  }
  ASSERT_NE(spare, 0);
  EXPECT_EQ(query(116), 0);

  KeySym f5 = XK_F5;
  XChangeKeyboardMapping(d, spare, 1, &f5, 1);
  client.sync();
  settle();  // handles the mapping change

  XTestFakeKeyEvent(d, static_cast<unsigned>(spare), True, CurrentTime);
  client.sync();
  EXPECT_EQ(query(116), static_cast<std::int16_t>(0x8001)) << "the new F5 key counts";
  XTestFakeKeyEvent(d, static_cast<unsigned>(spare), False, CurrentTime);
  client.sync();
  client.tap(XK_F5, std::chrono::milliseconds(20));
  EXPECT_EQ(query(116), 1) << "and the old one still does";
}

}  // namespace
}  // namespace tollivane::x11test
