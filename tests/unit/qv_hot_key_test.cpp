#include "controls/hotkey_capture/qv_hot_key.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "release/release_info.hpp"

namespace tollivane::controls {
namespace {

class Box : public TextBox {
 public:
  std::string text() const override { return value; }
  void setText(std::string_view s) override { value = s; }
  std::string value;
};

struct Binding {
  std::int16_t code;
  std::int16_t shift;
  friend bool operator==(const Binding&, const Binding&) = default;
};

void PrintTo(const Binding& b, std::ostream* os) { *os << "(" << b.code << ", " << b.shift << ")"; }

class QvHotKeyTest : public ::testing::Test {
 protected:
  Binding binding() const { return {hk.qvGetHotKeyCode(), hk.qvGetHotKeyShift()}; }
  Box box;
  qvHotKey hk{box};
};

struct CaptureCase {
  std::int16_t code;
  std::int16_t shift;
  const char* text;
  Binding stored;
};

void expectCaptures(qvHotKey& hk, const CaptureCase& c) {
  hk.t_KeyDown(c.code, c.shift);
  EXPECT_EQ(hk.Text(), c.text) << "key " << c.code << " mask " << c.shift;
  EXPECT_EQ(Binding(hk.qvGetHotKeyCode(), hk.qvGetHotKeyShift()), c.stored)
      << "key " << c.code << " mask " << c.shift;
}

TEST_F(QvHotKeyTest, StartsEmptyWithDefaultWords) {
  EXPECT_EQ(hk.Text(), "");
  EXPECT_EQ(binding(), Binding(0, 0));
  EXPECT_EQ(hk.StrControl(), "CTRL");
  EXPECT_EQ(hk.StrAlt(), "ALT");
  EXPECT_EQ(hk.StrShift(), "SHIFT");
  EXPECT_EQ(hk.StrAdd(), "+");
}

TEST_F(QvHotKeyTest, KeyWithEveryMask) {
  const CaptureCase cases[] = {
      {116, 0, "F5", {116, 0}},
      {65, 1, "SHIFT+A", {65, 1}},
      {117, 2, "CTRL+F6", {117, 2}},
      {186, 2, "CTRL+[186]", {186, 2}},
      {49, 3, "CTRL+SHIFT+1", {49, 3}},
      {97, 4, "ALT+Num1", {97, 4}},
      {36, 5, "ALT+SHIFT+Home", {36, 5}},
      {116, 6, "CTRL+ALT+F5", {116, 6}},
      {35, 7, "CTRL+SHIFT+ALT+End", {35, 7}},
      {19, 0, "Pause", {19, 0}},  // the lowest code that binds
  };
  for (const auto& c : cases) expectCaptures(hk, c);
}

TEST_F(QvHotKeyTest, ModifiersAloneKeepTheirMaskWithoutKey) {
  const char* texts[] = {"",    "SHIFT",     "CTRL",     "CTRL+SHIFT",
                         "ALT", "ALT+SHIFT", "CTRL+ALT", "CTRL+SHIFT+ALT"};
  // The modifier keys themselves and the other codes up to 18, e.g. Ctrl+Enter.
  for (std::int16_t code : std::initializer_list<std::int16_t>{16, 17, 18, 13, 8, 0, -5}) {
    for (std::int16_t mask = 1; mask <= 7; ++mask) {
      hk.qvSetHotKey(116, 0);
      expectCaptures(hk, {code, mask, texts[mask], {0, mask}});
    }
  }
}

TEST_F(QvHotKeyTest, UnboundKeyWithoutModifierClears) {
  for (std::int16_t code : std::initializer_list<std::int16_t>{8, 13, 9, 12, 0, 18, -1}) {
    hk.t_KeyDown(116, 6);
    expectCaptures(hk, {code, 0, "", {0, 0}});
  }
}

TEST_F(QvHotKeyTest, LastKeyDownWins) {
  hk.t_KeyDown(17, 2);
  EXPECT_EQ(hk.Text(), "CTRL");
  hk.t_KeyDown(116, 2);
  EXPECT_EQ(hk.Text(), "CTRL+F5");
  EXPECT_EQ(binding(), Binding(116, 2));
  hk.t_KeyDown(118, 0);
  EXPECT_EQ(hk.Text(), "F7");
  EXPECT_EQ(binding(), Binding(118, 0));
}

TEST_F(QvHotKeyTest, CtrlVIsAnOrdinaryKey) {
  expectCaptures(hk, {86, 2, "CTRL+V", {86, 2}});
  expectCaptures(hk, {86, 3, "CTRL+SHIFT+V", {86, 3}});
}

TEST_F(QvHotKeyTest, SetHotKeyPassesOddValuesThrough) {
  const CaptureCase cases[] = {
      {117, 0, "F6", {117, 0}},
      {0, 0, "", {0, 0}},
      {0, 4, "ALT", {0, 4}},
      {116, 8, "F5", {116, 8}},  // no prefix for a mask outside 0..7, stored as given
      {116, -1, "F5", {116, -1}},
      {116, 32767, "F5", {116, 32767}},
      {17, 8, "", {0, 0}},  // no prefix to cut the separator from
      {17, -1, "", {0, 0}},
      {300, 0, "[300]", {300, 0}},
      {256, 2, "CTRL+[256]", {256, 2}},
      {32767, 7, "CTRL+SHIFT+ALT+[32767]", {32767, 7}},
      {-32768, 2, "CTRL", {0, 2}},
  };
  for (const auto& c : cases) {
    hk.qvSetHotKey(c.code, c.shift);
    EXPECT_EQ(hk.Text(), c.text) << "key " << c.code << " mask " << c.shift;
    EXPECT_EQ(binding(), c.stored) << "key " << c.code << " mask " << c.shift;
  }
}

TEST_F(QvHotKeyTest, ChangedWordsApplyFromTheNextKey) {
  hk.t_KeyDown(112, 2);
  hk.setStrControl("STRG");
  hk.setStrAdd("-");
  EXPECT_EQ(hk.Text(), "CTRL+F1");
  expectCaptures(hk, {112, 2, "STRG-F1", {112, 2}});
  expectCaptures(hk, {17, 2, "STRG", {0, 2}});
  hk.setStrAlt("Alt");
  hk.setStrShift("Umschalt");
  expectCaptures(hk, {18, 7, "STRG-Umschalt-Alt", {0, 7}});
}

TEST_F(QvHotKeyTest, EmptySeparatorRunsWordsTogether) {
  hk.setStrAdd("");
  EXPECT_EQ(hk.StrAdd(), "");
  expectCaptures(hk, {116, 6, "CTRLALTF5", {116, 6}});
  expectCaptures(hk, {18, 6, "CTRLALT", {0, 6}});
  expectCaptures(hk, {13, 0, "", {0, 0}});
}

TEST_F(QvHotKeyTest, LongSeparatorIsCutWhole) {
  hk.setStrAdd(" + ");
  expectCaptures(hk, {116, 3, "CTRL + SHIFT + F5", {116, 3}});
  expectCaptures(hk, {16, 3, "CTRL + SHIFT", {0, 3}});
  expectCaptures(hk, {13, 0, "", {0, 0}});
}

TEST_F(QvHotKeyTest, TextWritesLeaveTheBinding) {
  hk.qvSetHotKey(116, 6);
  hk.setText("anything");
  EXPECT_EQ(box.value, "anything");
  EXPECT_EQ(hk.Text(), "anything");
  EXPECT_EQ(binding(), Binding(116, 6));
  hk.setText("");
  EXPECT_EQ(binding(), Binding(116, 6));
  hk.t_KeyDown(117, 0);
  EXPECT_EQ(hk.Text(), "F6");
}

TEST_F(QvHotKeyTest, KeyDownWritesItsTextIntoTheInnerBox) {
  box.value = "left over";
  hk.t_KeyDown(116, 6);
  EXPECT_EQ(box.value, "CTRL+ALT+F5");
  hk.t_KeyDown(13, 0);
  EXPECT_EQ(box.value, "");
}

TEST(QvHotKeyInstances, KeepSeparateWordsAndBindings) {
  Box box1, box2;
  qvHotKey one{box1}, two{box2};
  one.setStrAlt("Option");
  one.qvSetHotKey(116, 4);
  two.qvSetHotKey(117, 4);
  EXPECT_EQ(two.StrAlt(), "ALT");
  EXPECT_EQ(box1.value, "Option+F5");
  EXPECT_EQ(box2.value, "ALT+F6");
  EXPECT_EQ(one.qvGetHotKeyCode(), 116);
  EXPECT_EQ(two.qvGetHotKeyCode(), 117);
}

class RecordingHost : public MessageBoxes {
 public:
  struct Box {
    std::string prompt;
    MessageIcon icon;
    std::string title;
  };
  std::vector<Box> boxes;

  void messageBox(std::string_view prompt, MessageIcon icon, std::string_view title) override {
    boxes.push_back({std::string(prompt), icon, std::string(title)});
  }
};

TEST(QvHotKeyAbout, ShowsItsBoxEachTime) {
  RecordingHost shell;
  qvHotKey::About(shell);
  qvHotKey::About(shell);
  ASSERT_EQ(shell.boxes.size(), 2u);
  const auto& box = shell.boxes[0];
  EXPECT_EQ(box.title, ":: qvHotKey :: About");
  EXPECT_EQ(box.icon, MessageIcon::Information);
  EXPECT_EQ(box.prompt,
            "qvHotKey\r\nControl for working with hot keys.\r\n\r\n"
            "Copyright (c) 2026 Tollivane developers\r\n" +
                (release::kContact.empty() ? "" : "Contact: " + std::string(release::kContact)));
  EXPECT_EQ(shell.boxes[1].prompt, box.prompt);
}

}  // namespace
}  // namespace tollivane::controls
