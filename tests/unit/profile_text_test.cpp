#include "settings/profile_text.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tollivane::settings {
namespace {

// The six writes of "Save keys" and the two of "Save X, Y", in the order the editors make them.
std::string saveKeys(std::string text, const char* k1, const char* k2, const char* k3) {
  text = profileWrite(text, "main", "hotkey1", k1);
  text = profileWrite(text, "main", "hotshift1", "0");
  text = profileWrite(text, "main", "hotkey2", k2);
  text = profileWrite(text, "main", "hotshift2", "0");
  text = profileWrite(text, "main", "hotkey3", k3);
  return profileWrite(text, "main", "hotshift3", "0");
}

std::string savePosition(std::string text, const char* x, const char* y) {
  return profileWrite(profileWrite(text, "rect", "X", x), "rect", "Y", y);
}

constexpr const char* kMainSection =
    "[main]\r\nhotkey1=116\r\nhotshift1=0\r\nhotkey2=117\r\nhotshift2=0\r\n"
    "hotkey3=118\r\nhotshift3=0\r\n";
constexpr const char* kRectSection = "[rect]\r\nX=25\r\nY=315\r\n";

TEST(ProfileWrite, BuildsANewFileInTheOrderOfTheSaves) {
  EXPECT_EQ(savePosition(saveKeys("", "116", "117", "118"), "25", "315"),
            std::string(kMainSection) + kRectSection);
  EXPECT_EQ(saveKeys(savePosition("", "25", "315"), "116", "117", "118"),
            std::string(kRectSection) + kMainSection);
}

TEST(ProfileWrite, SavingAgainReplacesValuesInPlace) {
  const auto first = savePosition(saveKeys("", "116", "117", "118"), "25", "315");
  const auto second = savePosition(saveKeys(first, "65", "66", "67"), "640", "0");
  EXPECT_EQ(second,
            "[main]\r\nhotkey1=65\r\nhotshift1=0\r\nhotkey2=66\r\nhotshift2=0\r\n"
            "hotkey3=67\r\nhotshift3=0\r\n[rect]\r\nX=640\r\nY=0\r\n");
}

TEST(ProfileWrite, KeepsEveryLineItDoesNotOwn) {
  const std::string before =
      "; written by hand\r\n"
      "stray=1\r\n"
      "\r\n"
      "[Other]\r\n"
      "hotkey1=999\r\n"
      "[MAIN]\r\n"
      "  HotKey2 = 5  \r\n"
      "; last word\r\n"
      "\r\n"
      "\t\r\n"
      "[rect]\r\n"
      "Z=\"quoted\"\r\n";
  auto text = profileWrite(before, "main", "hotkey2", "117");  // existing key, other case
  text = profileWrite(text, "main", "hotkey1", "116");         // new key in a section
  text = profileWrite(text, "rect", "X", "25");                // new key at the end of file
  text = profileWrite(text, "extra", "k", "v");                // new section
  EXPECT_EQ(text,
            "; written by hand\r\n"
            "stray=1\r\n"
            "\r\n"
            "[Other]\r\n"
            "hotkey1=999\r\n"
            "[MAIN]\r\n"
            "HotKey2=117\r\n"
            "; last word\r\n"
            "hotkey1=116\r\n"
            "\r\n"
            "\t\r\n"
            "[rect]\r\n"
            "Z=\"quoted\"\r\n"
            "X=25\r\n"
            "[extra]\r\n"
            "k=v\r\n");
}

TEST(ProfileWrite, KeepsTheLineEndsOfTheFile) {
  struct Case {
    const char* before;
    const char* section;
    const char* key;
    const char* after;
  };
  const Case cases[] = {
      // LF files stay LF, whatever is added.
      {"[main]\nhotkey1=1\n", "main", "hotkey2", "[main]\nhotkey1=1\nhotkey2=v\n"},
      {"[main]\nhotkey1=1\n", "rect", "X", "[main]\nhotkey1=1\n[rect]\nX=v\n"},
      {"[main]\nhotkey1=1\n", "main", "hotkey1", "[main]\nhotkey1=v\n"},
      // The first line decides for new lines; each old line keeps its own end.
      {"[main]\nhotkey1=1\r\n", "main", "hotkey2", "[main]\nhotkey1=1\r\nhotkey2=v\n"},
      {"[main]\r\nhotkey1=1\n", "main", "hotkey1", "[main]\r\nhotkey1=v\n"},
      // No final line end: the last line gets one before anything is added after it.
      {"[main]\nhotkey1=1", "main", "hotkey2", "[main]\nhotkey1=1\nhotkey2=v\n"},
      {"[main]\nhotkey1=1", "rect", "X", "[main]\nhotkey1=1\n[rect]\nX=v\n"},
      {"[main]\nhotkey1=1", "main", "hotkey1", "[main]\nhotkey1=v"},
      {"[main]", "main", "hotkey1", "[main]\r\nhotkey1=v\r\n"},
      {"; note", "main", "hotkey1", "; note\r\n[main]\r\nhotkey1=v\r\n"},
      // A last line ending in a lone carriage return keeps it as its line end.
      {"[main]\nk=1\r", "main", "hotkey2", "[main]\nk=1\r\nhotkey2=v\n"},
      {"[main]\r\nk=1\r", "rect", "X", "[main]\r\nk=1\r\n[rect]\r\nX=v\r\n"},
      // A byte-order mark stays in front.
      {"\xEF\xBB\xBF[main]\r\nhotkey1=1\r\n", "main", "hotkey1",
       "\xEF\xBB\xBF[main]\r\nhotkey1=v\r\n"},
      {"\xEF\xBB\xBF", "main", "hotkey1", "\xEF\xBB\xBF[main]\r\nhotkey1=v\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(profileWrite(c.before, c.section, c.key, "v"), c.after) << c.before;
  }
}

TEST(ProfileWrite, ChangesOnlyTheFirstMatchingSectionAndKey) {
  EXPECT_EQ(profileWrite("[main]\nk=1\nk=2\n[main]\nk=3\n", "main", "k", "v"),
            "[main]\nk=v\nk=2\n[main]\nk=3\n");
  EXPECT_EQ(profileWrite("[main]\na=1\n[main]\nk=3\n", "main", "k", "v"),
            "[main]\na=1\nk=v\n[main]\nk=3\n");
}

TEST(ProfileWrite, ReadsBackWhatItWrote) {
  const char* values[] = {"116", "0", "-1", "", "a b", "x=y"};
  for (const char* value : values) {
    const auto text = profileWrite("[main]\r\nhotkey1=5\r\n", "main", "hotkey2", value);
    EXPECT_EQ(profileLookup(text, "main", "hotkey2"), value);
    EXPECT_EQ(profileLookup(text, "main", "hotkey1"), "5");
  }
}

TEST(ProfileWriteAll, EqualsOneWriteAfterTheOther) {
  const char* files[] = {
      "",
      "[main]\r\nhotkey2=1\r\n",
      "; c\n[rect]\nX=1\n\n[MAIN]\nhotshift1 = 3\n\n\n[other]\nk=v",
      "[main]\nhotkey1=1",
      "[main]\n[main]\nhotkey1=1\n",
      "\xEF\xBB\xBF[main]\r\n",
  };
  const ProfileEntry entries[] = {
      {"hotkey1", "65"}, {"hotshift1", "2"}, {"hotkey2", "66"}, {"HOTKEY1", "67"}};
  for (const char* file : files) {
    std::string oneByOne = file;
    for (const auto& [key, value] : entries) oneByOne = profileWrite(oneByOne, "main", key, value);
    EXPECT_EQ(profileWriteAll(file, "main", entries), oneByOne) << file;
  }
}

TEST(ProfileLookupAll, EqualsOneLookupAfterTheOther) {
  const std::string file =
      "[main]\nhotkey1=1\n[rect]\nX=5\n[main]\nhotkey2=2\n[RECT]\nY=6\n[main]\nhotkey1=9\n";
  const ProfileKey keys[] = {{"main", "hotkey1"}, {"main", "hotkey2"}, {"rect", "X"},
                             {"rect", "Y"},       {"none", "k"},       {"main", "hotkey1"}};
  const auto all = profileLookupAll(file, keys);
  ASSERT_EQ(all.size(), std::size(keys));
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i], profileLookup(file, keys[i].section, keys[i].key)) << keys[i].key;
  }
  EXPECT_EQ(all[0], "1");
  EXPECT_EQ(all[1], std::nullopt);
}

TEST(ProfileLookup, FollowsTheProfileReadingRules) {
  struct Case {
    const char* text;
    const char* section;
    const char* key;
    std::optional<std::string> value;
  };
  const Case cases[] = {
      {"", "main", "hotkey1", std::nullopt},
      {"[main]\r\nhotkey1=116\r\n", "main", "hotkey1", "116"},
      {"[main]\r\nhotkey1=116\r\n", "rect", "hotkey1", std::nullopt},
      {"[main]\r\nhotkey1=116\r\n", "main", "hotkey2", std::nullopt},
      // Missing and empty are different.
      {"[main]\r\nhotkey1=\r\n", "main", "hotkey1", ""},
      {"[main]\r\nhotkey1=   \r\n", "main", "hotkey1", ""},
      // Letter case of names does not matter.
      {"[MaIn]\nHOTKEY1=7\n", "main", "hotkey1", "7"},
      {"[rect]\nx=9\n", "RECT", "X", "9"},
      // Blanks and tabs around keys and values go; inside a value they stay.
      {"  [main]  \n \t hotkey1 \t=\t 1 2 \t\n", "main", "hotkey1", "1 2"},
      {"[main]\nhot key1=1\n", "main", "hotkey1", std::nullopt},
      // A matching pair of quotes goes; anything else stays.
      {"[main]\nk=\"a b\"\n", "main", "k", "a b"},
      {"[main]\nk= 'x' \n", "main", "k", "x"},
      {"[main]\nk=\"\"\n", "main", "k", ""},
      {"[main]\nk=\"x'\n", "main", "k", "\"x'"},
      {"[main]\nk=\"\n", "main", "k", "\""},
      {"[main]\nk=a\"b\"\n", "main", "k", "a\"b\""},
      // Only the first "=" separates.
      {"[main]\nk=a=b\n", "main", "k", "a=b"},
      // The first section and the first key of that name win.
      {"[main]\nk=1\nk=2\n", "main", "k", "1"},
      {"[main]\nother=1\n[main]\nk=2\n", "main", "k", std::nullopt},
      // A line without "=" is no key; keys before any section belong to none.
      {"[main]\nk\n", "main", "k", std::nullopt},
      {"k=1\n[main]\n", "main", "k", std::nullopt},
      // Comments are just lines whose key nobody asks for.
      {"[main]\n;k=1\nk=2\n", "main", "k", "2"},
      // A line with "[" but no "]" is no section.
      {"[main]\n[rect\nk=1\n", "main", "k", "1"},
      {"[main]\n[rect]\nk=1\n", "main", "k", std::nullopt},
      // Line ends of any kind, a missing last one, and a byte-order mark.
      {"[main]\r\nk=1", "main", "k", "1"},
      {"[main]\r\nk=1\r", "main", "k", "1"},
      {"\xEF\xBB\xBF[main]\r\nk=1\r\n", "main", "k", "1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(profileLookup(c.text, c.section, c.key), c.value)
        << "text: " << c.text << " section: " << c.section << " key: " << c.key;
  }
}

}  // namespace
}  // namespace tollivane::settings
