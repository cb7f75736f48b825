#include "settings/profile_encoding.hpp"

#include <cstdint>

namespace tollivane::settings {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

void appendUtf8(std::string& out, std::uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void appendUnit(std::string& out, std::uint32_t unit, bool bigEndian) {
  const char high = static_cast<char>(unit >> 8);
  const char low = static_cast<char>(unit & 0xFF);
  out += bigEndian ? high : low;
  out += bigEndian ? low : high;
}

bool isLead(std::uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isTrail(std::uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The code point of the UTF-8 sequence at text[i] (an unpaired surrogate's three-byte form
// included) and its length; a byte that starts none stands for itself.
std::uint32_t nextCodePoint(std::string_view text, std::size_t i, std::size_t& length) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[i + k]); };
  const auto continues = [&](std::size_t k) {
    return i + k < text.size() && (byte(k) & 0xC0) == 0x80;
  };
  const std::uint8_t b = byte(0);
  length = 1;
  if (b >= 0xC2 && b <= 0xDF && continues(1)) {
    length = 2;
    return ((b & 0x1Fu) << 6) | (byte(1) & 0x3Fu);
  }
  if (b >= 0xE0 && b <= 0xEF && continues(1) && continues(2)) {
    const std::uint32_t c = ((b & 0x0Fu) << 12) | ((byte(1) & 0x3Fu) << 6) | (byte(2) & 0x3Fu);
    if (c >= 0x800) {
      length = 3;
      return c;
    }
  }
  if (b >= 0xF0 && b <= 0xF4 && continues(1) && continues(2) && continues(3)) {
    const std::uint32_t c = ((b & 0x07u) << 18) | ((byte(1) & 0x3Fu) << 12) |
                            ((byte(2) & 0x3Fu) << 6) | (byte(3) & 0x3Fu);
    if (c >= 0x10000 && c <= 0x10FFFF) {
      length = 4;
      return c;
    }
  }
  return b;
}

}  // namespace

DecodedText decodeText(std::string_view bytes) {
  DecodedText decoded;
  if (bytes.starts_with(kUtf8Bom)) {
    decoded.encoding = TextEncoding::Utf8Bom;
    decoded.unconverted = bytes.substr(kUtf8Bom.size());
    return decoded;
  }
  const bool little = bytes.starts_with(kUtf16LeBom);
  if (!little && !bytes.starts_with(kUtf16BeBom)) {
    decoded.unconverted = bytes;
    return decoded;
  }
  decoded.encoding = little ? TextEncoding::Utf16Le : TextEncoding::Utf16Be;
  bytes.remove_prefix(2);
  if (bytes.size() % 2 != 0) {
    decoded.oddByte = bytes.substr(bytes.size() - 1);
    bytes.remove_suffix(1);
  }
  std::string& text = decoded.converted;
  text.reserve(bytes.size() / 2);
  const auto unitAt = [&](std::size_t i) -> std::uint32_t {
    const auto first = static_cast<std::uint8_t>(bytes[i]);
    const auto second = static_cast<std::uint8_t>(bytes[i + 1]);
    return little ? (second << 8 | first) : (first << 8 | second);
  };
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const std::uint32_t unit = unitAt(i);
    if (isLead(unit) && i + 2 < bytes.size() && isTrail(unitAt(i + 2))) {
      appendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00));
      i += 2;
    } else {
      appendUtf8(text, unit);
    }
  }
  return decoded;
}

std::string encodeText(TextEncoding encoding, std::string text, std::string_view oddByte) {
  std::string out;
  switch (encoding) {
    case TextEncoding::Bytes:
      return text;
    case TextEncoding::Utf8Bom:
      text.insert(0, kUtf8Bom);
      return text;
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
      break;
  }
  const bool big = encoding == TextEncoding::Utf16Be;
  out.reserve(2 + 2 * text.size() + oddByte.size());
  out += big ? kUtf16BeBom : kUtf16LeBom;
  for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
    const std::uint32_t c = nextCodePoint(text, i, length);
    if (c >= 0x10000) {
      appendUnit(out, 0xD800 + ((c - 0x10000) >> 10), big);
      appendUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF), big);
    } else {
      appendUnit(out, c, big);
    }
  }
  out += oddByte;
  return out;
}

}  // namespace tollivane::settings
