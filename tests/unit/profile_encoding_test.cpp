#include "settings/profile_encoding.hpp"

#include <gtest/gtest.h>

#include <string>

#include "settings/profile_text.hpp"

namespace tollivane::settings {
namespace {

// UTF-16 of a text given as code units.
std::string units(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t u : text) {
    const char high = static_cast<char>(u >> 8);
    const char low = static_cast<char>(u & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

TEST(ProfileEncoding, DecodesEachEncodingAndGivesBackTheSameBytes) {
  struct Case {
    std::string bytes;
    TextEncoding encoding;
    std::string text;
  };
  const Case cases[] = {
      {"[main]\r\nk=1\r\n", TextEncoding::Bytes, "[main]\r\nk=1\r\n"},
      {"\xEF\xBB\xBF[main]\nk=\xC3\xA9\n", TextEncoding::Utf8Bom, "[main]\nk=\xC3\xA9\n"},
      {units(u"[main]\r\nk=\u00e9\r\n", false), TextEncoding::Utf16Le, "[main]\r\nk=\xC3\xA9\r\n"},
      {units(u"[main]\r\nk=\u20ac\r\n", true), TextEncoding::Utf16Be,
       "[main]\r\nk=\xE2\x82\xAC\r\n"},
      // A pair of surrogates is one character; an unpaired one is kept as it is.
      {units(u"; \U0001F600\n", false), TextEncoding::Utf16Le, "; \xF0\x9F\x98\x80\n"},
      {units(u"; \xD800x\xDC00\n", false), TextEncoding::Utf16Le, "; \xED\xA0\x80x\xED\xB0\x80\n"},
      {units(u"", true), TextEncoding::Utf16Be, ""},
      // Not a byte-order mark: plain bytes.
      {"\xFF[main]\n", TextEncoding::Bytes, "\xFF[main]\n"},
      {"\xEF\xBB[main]\n", TextEncoding::Bytes, "\xEF\xBB[main]\n"},
  };
  for (const auto& c : cases) {
    const DecodedText decoded = decodeText(c.bytes);
    EXPECT_EQ(decoded.encoding, c.encoding) << c.text;
    EXPECT_EQ(decoded.text(), c.text);
    EXPECT_EQ(encodeText(decoded.encoding, std::string(decoded.text()), decoded.oddByte), c.bytes)
        << c.text;
  }
}

TEST(ProfileEncoding, KeepsTheOddLastByteOfAUtf16File) {
  const std::string bytes = units(u"[main]\r\n", false) + "\x41";
  const DecodedText decoded = decodeText(bytes);
  EXPECT_EQ(decoded.text(), "[main]\r\n");
  EXPECT_EQ(decoded.oddByte, "\x41");
  EXPECT_EQ(encodeText(decoded.encoding, std::string(decoded.text()), decoded.oddByte), bytes);
}

TEST(ProfileEncoding, Utf16FilesAreReadAndWrittenInUtf16) {
  for (const bool big : {false, true}) {
    const std::string before =
        units(u"; caf\u00e9\r\n[main]\r\nhotkey1=65\r\n[rect]\r\nX=1\r\n", big);
    EXPECT_EQ(profileLookup(before, "main", "hotkey1"), "65");
    EXPECT_EQ(profileLookup(before, "rect", "X"), "1");
    EXPECT_EQ(profileWrite(before, "main", "hotkey1", "116"),
              units(u"; caf\u00e9\r\n[main]\r\nhotkey1=116\r\n[rect]\r\nX=1\r\n", big));
    EXPECT_EQ(
        profileWrite(before, "main", "hotshift1", "2"),
        units(u"; caf\u00e9\r\n[main]\r\nhotkey1=65\r\nhotshift1=2\r\n[rect]\r\nX=1\r\n", big));
    EXPECT_EQ(profileWrite(units(u"", big), "rect", "Y", "3"), units(u"[rect]\r\nY=3\r\n", big));
  }
}

}  // namespace
}  // namespace tollivane::settings
