// The INI ("profile") text rules, as pure functions on a whole file's text, so that every
// backend reads and writes the same bytes.
//
// Reading: section and key names match without regard to letter case; blanks and tabs around
// keys and values are dropped; a value wrapped in a matching pair of " or ' loses them; the
// first matching section and the first matching key in it win; a line without "=" is no key.
//
// A file may be plain bytes, UTF-8 with a byte-order mark or UTF-16 with one; it is written back
// in its own encoding. Each operation is one pass over the file, however many keys it handles.
//
// Writing changes one line or adds lines, and keeps every other byte. New lines take the line
// end of the file's first line (CRLF in a file that has none); a new key goes after the last
// non-blank line of its section, a new section to the end of the file, and no blanks are put
// around "=".
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tollivane::settings {

// The value of `key` in `section`, or nothing when the section or the key is missing.
// A present key with nothing after "=" gives an empty text.
std::optional<std::string> profileLookup(std::string_view fileText, std::string_view section,
                                         std::string_view key);

struct ProfileKey {
  std::string_view section;
  std::string_view key;
};

// The values of several keys, in their order, as profileLookup finds each.
std::vector<std::optional<std::string>> profileLookupAll(std::string_view fileText,
                                                         std::span<const ProfileKey> keys);

struct ProfileEntry {
  std::string_view key;
  std::string_view value;
};

// The whole new text after setting each entry in turn, as that many profileWrite calls would
// make it (a key given twice takes its last value).
std::string profileWriteAll(std::string_view fileText, std::string_view section,
                            std::span<const ProfileEntry> entries);

// The whole new text after setting `key` in `section` to `value`; an empty `fileText` is a
// new file.
std::string profileWrite(std::string_view fileText, std::string_view section, std::string_view key,
                         std::string_view value);

}  // namespace tollivane::settings
