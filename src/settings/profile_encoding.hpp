// The encodings a settings file may come in: plain bytes, UTF-8 with a byte-order mark, and
// UTF-16 either way round with one (as Windows editors and the Windows profile functions write
// them). The INI rules work on 8-bit text; a file goes back in the encoding it came in.
#pragma once

#include <string>
#include <string_view>

namespace tollivane::settings {

enum class TextEncoding { Bytes, Utf8Bom, Utf16Le, Utf16Be };

struct DecodedText {
  TextEncoding encoding = TextEncoding::Bytes;
  std::string_view unconverted;  // the bytes after the mark, for the 8-bit encodings
  // UTF-16 as UTF-8, an unpaired surrogate kept as its own three-byte form so that it goes
  // back unchanged.
  std::string converted;
  std::string_view oddByte;  // the last byte of a UTF-16 file of odd length, kept as it was

  // The text without the byte-order mark.
  std::string_view text() const {
    return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be ? converted
                                                                                  : unconverted;
  }
};

// The result views `bytes`: keep them alive while it is used.
DecodedText decodeText(std::string_view bytes);

// The file's bytes again: byte-order mark, `text` in the encoding, then the odd byte.
// Bytes of `text` that are no UTF-8 go into UTF-16 as the code unit of the same value.
std::string encodeText(TextEncoding encoding, std::string text, std::string_view oddByte);

}  // namespace tollivane::settings
