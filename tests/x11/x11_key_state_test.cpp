// The global key state: keys pressed and tapped through XTEST, read back by the backend.
#include "backend_fixture.hpp"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "contract/key_state_contract.hpp"
#include "platform/x11/x11_key_state.hpp"

namespace tollivane::x11test {
namespace {

// A server of its own, keys pressed on it through XTEST.
class X11Keyboard final : public contract::Keyboard {
 public:
  platform::KeyState& keys() override { return session_->keys(); }
  void key(int vk, bool down) override {
    const std::pair<int, KeySym> keysyms[] = {
        {116, XK_F5}, {117, XK_F6},       {118, XK_F7},       {119, XK_F8},
        {120, XK_F9}, {0xA0, XK_Shift_L}, {0xA1, XK_Shift_R}, {0xA3, XK_Control_R}};
    for (const auto& [code, keysym] : keysyms) {
      if (code == vk) client_.key(keysym, down);
    }
    session_->sync();
  }
  void pause(std::chrono::milliseconds time) override { std::this_thread::sleep_for(time); }
  std::chrono::milliseconds age() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - made_);
  }
  bool ok() const { return session_ != nullptr; }

 private:
  using Clock = std::chrono::steady_clock;
  Xvfb server_;
  TestClient client_{server_.display()};
  Clock::time_point made_ = Clock::now();  // before the key state, so its age is never less
  std::unique_ptr<X11Session> session_ = X11Session::open(server_.display().c_str());
};

contract::KeyStateKit x11Kit() {
  return {"X11", []() -> std::unique_ptr<contract::Keyboard> {
            auto board = std::make_unique<X11Keyboard>();
            if (!board->ok()) return nullptr;
            return board;
          }};
}

using contract::KeyStateContract;
INSTANTIATE_TEST_SUITE_P(X11, KeyStateContract, ::testing::Values(x11Kit()), contract::keysKitName);

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
    // Shift, Ctrl and Alt: bit 0 is "down at some moment since the last query".
    const bool modifier = (c.vk >= 16 && c.vk <= 18) || (c.vk >= 0xA0 && c.vk <= 0xA5);
    EXPECT_EQ(query(c.vk), 0);
    client.key(c.pressed, true);
    EXPECT_EQ(query(c.vk), static_cast<std::int16_t>(0x8001));
    EXPECT_EQ(query(c.vk), static_cast<std::int16_t>(modifier ? 0x8001 : 0x8000));
    client.key(c.pressed, false);
    EXPECT_EQ(query(c.vk), modifier ? 1 : 0);
    EXPECT_EQ(query(c.vk), 0);
    client.tap(c.pressed, std::chrono::milliseconds(30));
    EXPECT_EQ(query(c.vk), 1);
    EXPECT_EQ(query(c.vk), 0);
  }
}

// Combinations as people press them: the modifiers held, the key tapped 30-40 ms, and the
// modifiers let go before or after the next poll. Polled as the hotkey poller does: the
// modifiers first, then the key, their states ANDed.
TEST_F(X11Backend, AKeyTappedUnderHeldModifiersFiresItsCombinationEveryTime) {
  const auto poll = [&] {
    session->processPendingEvents();
    const auto shift = static_cast<std::uint16_t>(query(16));
    const auto control = static_cast<std::uint16_t>(query(17));
    return (shift & control & static_cast<std::uint16_t>(query(120))) != 0;  // F9
  };
  const auto modifiers = [&](bool down) {
    client.key(XK_Control_L, down);
    client.key(XK_Shift_L, down);
    settle();
  };
  int fired[2] = {0, 0};
  for (int trial = 0; trial < 40; ++trial) {
    const bool releaseBeforePoll = trial % 2 == 0;
    modifiers(true);
    poll();  // the modifiers' poll before the key
    client.tap(XK_F9, std::chrono::milliseconds(30 + trial % 11));
    if (releaseBeforePoll) modifiers(false);
    settle();
    fired[releaseBeforePoll] += poll();
    modifiers(false);
    poll();
  }
  EXPECT_EQ(fired[0], 20) << "modifiers let go after the poll";
  EXPECT_EQ(fired[1], 20) << "modifiers let go before the poll";
}

TEST_F(X11Backend, UnknownCodesGiveZero) {
  client.key(XK_F5, true);
  for (int unknown : {0, 7, 0x88, 255, -1, 300}) EXPECT_EQ(query(unknown), 0) << unknown;
  EXPECT_LT(query(116), 0);
  client.key(XK_F5, false);
}

// Presses and releases tell the state: a poll of three Shift+Ctrl+Alt bindings makes no round
// trip while no key changes, nor while one changes. A key held is confirmed once a second.
TEST_F(X11Backend, PollsMakeNoRoundTripButToConfirmAKeyHeldLong) {
  const std::vector<XID> ours = sessionClient();
  ASSERT_EQ(ours.size(), 1u);
  auto poll = [&] {
    session->processPendingEvents();
    std::int16_t shift = 0;
    for (std::int16_t key : {std::int16_t{116}, std::int16_t{117}, std::int16_t{118}}) {
      shift = session->keys().GetAsyncKeyState(16);
      for (std::int16_t vk : {std::int16_t{17}, std::int16_t{18}, key}) {
        EXPECT_EQ(session->keys().GetAsyncKeyState(vk) & 0x8000, 0);
      }
    }
    return shift;
  };
  // The first reading of the keymap, and of the mapping of the injecting keyboard, which the
  // server announces when its first key comes.
  client.tap(XK_F12, std::chrono::milliseconds(20));
  settle();
  poll();
  settle();

  XTraffic traffic(server.display(), ours);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(poll(), 0);
  client.key(XK_Shift_L, true);
  std::int16_t shift = 0;
  for (const auto start = std::chrono::steady_clock::now();
       shift == 0 && std::chrono::steady_clock::now() - start < std::chrono::seconds(10);) {
    shift = poll();
  }
  // A held modifier reads down since the last query too.
  EXPECT_EQ(shift, static_cast<std::int16_t>(0x8001)) << "Shift is down, from its press alone";
  EXPECT_EQ(traffic.finish().replies, 0);

  std::this_thread::sleep_for(platform::x11::X11KeyState::kTrustDown +
                              std::chrono::milliseconds(200));
  XTraffic confirmed(server.display(), ours);
  EXPECT_LT(poll(), 0);
  EXPECT_LT(poll(), 0);
  EXPECT_EQ(confirmed.finish().replies, 1) << "one reading confirms the key held";
  client.key(XK_Shift_L, false);
}

// Raw key events reach us while another client grabs the keyboard; a key already down when
// the session opens is in its first reading.
TEST_F(X11Backend, KeysDuringAGrabAndKeysDownAtStartAreReportedRight) {
  client.key(XK_F6, true);
  const auto later = X11Session::open(server.display().c_str());
  ASSERT_TRUE(later);
  auto laterQuery = [&](int vk) {
    later->sync();
    return later->keys().GetAsyncKeyState(static_cast<std::int16_t>(vk));
  };
  EXPECT_EQ(laterQuery(117), static_cast<std::int16_t>(0x8000)) << "pressed before the start";
  client.key(XK_F6, false);
  EXPECT_EQ(laterQuery(117), 0);

  EXPECT_EQ(query(116), 0);
  client.key(XK_F5, true);
  ASSERT_EQ(
      XGrabKeyboard(client.display(), window, False, GrabModeAsync, GrabModeAsync, CurrentTime),
      GrabSuccess);
  EXPECT_EQ(query(116), static_cast<std::int16_t>(0x8001));
  client.key(XK_F5, false);
  EXPECT_EQ(query(116), 0) << "released while the keyboard is grabbed";
  client.tap(XK_F5, std::chrono::milliseconds(20));
  EXPECT_EQ(query(116), 1) << "tapped while the keyboard is grabbed";
  XUngrabKeyboard(client.display(), CurrentTime);
  client.sync();
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
