#include "settings/profile_text.hpp"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "settings/profile_encoding.hpp"

namespace tollivane::settings {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

enum class Kind { Blank, Section, Key, Other };

struct Line {
  std::size_t begin = 0;       // first byte of the line
  std::size_t contentEnd = 0;  // where its line end starts
  std::size_t end = 0;         // just after its "\n", or the end of the text
  Kind kind = Kind::Other;
  std::string_view name;   // a section's or a key's name
  std::string_view value;  // a key's value, blanks dropped, quotes kept
};

void classify(Line& line, std::string_view content) {
  const std::string_view t = trim(content);
  if (t.empty()) {
    line.kind = Kind::Blank;
    return;
  }
  if (t.front() == '[') {
    if (const auto close = t.rfind(']'); close != std::string_view::npos) {
      line.kind = Kind::Section;
      line.name = t.substr(1, close - 1);
      return;
    }
  }
  if (const auto eq = t.find('='); eq != std::string_view::npos) {
    line.kind = Kind::Key;
    line.name = trim(t.substr(0, eq));
    line.value = trim(t.substr(eq + 1));
    return;
  }
  line.kind = Kind::Other;
}

// The lines of a text one after another, each found once: no list of lines is ever built.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : text_(text) {}
  bool next(Line& line) {
    if (pos_ >= text_.size()) return false;
    line.begin = pos_;
    const auto newline = text_.find('\n', pos_);
    line.end = newline == std::string_view::npos ? text_.size() : newline + 1;
    line.contentEnd = newline == std::string_view::npos ? text_.size() : newline;
    if (line.contentEnd > line.begin && text_[line.contentEnd - 1] == '\r') --line.contentEnd;
    classify(line, text_.substr(line.begin, line.contentEnd - line.begin));
    pos_ = line.end;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// New lines follow the file's first line end; a file without one gets the Windows default.
std::string_view lineEndOf(std::string_view text) {
  const auto newline = text.find('\n');
  if (newline == std::string_view::npos) return "\r\n";
  return (newline > 0 && text[newline - 1] == '\r') ? "\r\n" : "\n";
}

// "key=value" then `tail`: no blanks around "=", as the Windows profile functions write it.
void appendEntry(std::string& out, std::string_view key, std::string_view value,
                 std::string_view tail) {
  out += key;
  out += '=';
  out += value;
  out += tail;
}

std::string_view unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    return v.substr(1, v.size() - 2);
  }
  return v;
}

}  // namespace

std::vector<std::optional<std::string>> profileLookupAll(std::string_view fileText,
                                                         std::span<const ProfileKey> keys) {
  const DecodedText decoded = decodeText(fileText);
  std::vector<std::optional<std::string>> values(keys.size());
  // Per key: inside the first section of its name now, and whether that section was met.
  std::vector<char> inside(keys.size(), 0);
  std::vector<char> met(keys.size(), 0);
  LineCursor lines(decoded.text());
  for (Line line; lines.next(line);) {
    if (line.kind == Kind::Section) {
      for (std::size_t i = 0; i < keys.size(); ++i) {
        inside[i] = !met[i] && sameName(line.name, keys[i].section);
        if (inside[i]) met[i] = 1;
      }
    } else if (line.kind == Kind::Key) {
      for (std::size_t i = 0; i < keys.size(); ++i) {
        if (inside[i] && !values[i] && sameName(line.name, keys[i].key)) {
          values[i] = std::string(unquote(line.value));
        }
      }
    }
  }
  return values;
}

std::optional<std::string> profileLookup(std::string_view fileText, std::string_view section,
                                         std::string_view key) {
  const ProfileKey one[] = {{section, key}};
  return std::move(profileLookupAll(fileText, one).front());
}

std::string profileWriteAll(std::string_view fileText, std::string_view section,
                            std::span<const ProfileEntry> entries) {
  const DecodedText decoded = decodeText(fileText);
  const std::string_view text = decoded.text();
  const auto eol = lineEndOf(text);

  // Each key once, at the place of its first mention, with its last value.
  std::vector<ProfileEntry> wanted;
  for (const ProfileEntry& entry : entries) {
    auto same = std::find_if(wanted.begin(), wanted.end(),
                             [&](const ProfileEntry& w) { return sameName(w.key, entry.key); });
    if (same == wanted.end()) {
      wanted.push_back(entry);
    } else {
      same->value = entry.value;
    }
  }

  // One pass: the first matching section, its first line of each wanted key, and where its
  // last non-blank line ends.
  struct Replacement {
    std::size_t begin;
    std::size_t contentEnd;
    std::string_view name;  // the key keeps the spelling it has in the file
    std::string_view value;
  };
  std::vector<Replacement> replacements;
  std::vector<char> found(wanted.size(), 0);
  bool sectionFound = false;
  std::size_t insertAt = 0;
  bool insertAfterUnterminated = false;
  LineCursor lines(text);
  for (Line line; lines.next(line);) {
    if (line.kind == Kind::Section) {
      if (sectionFound) break;
      if (!sameName(line.name, section)) continue;
      sectionFound = true;
    } else if (!sectionFound || line.kind == Kind::Blank) {
      continue;
    } else if (line.kind == Kind::Key) {
      for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (!found[i] && sameName(line.name, wanted[i].key)) {
          found[i] = 1;
          replacements.push_back({line.begin, line.contentEnd, line.name, wanted[i].value});
          break;
        }
      }
    }
    insertAt = line.end;
    insertAfterUnterminated = text[line.end - 1] != '\n';
  }

  std::string out;
  out.reserve(text.size() + section.size() + 64 * (wanted.size() + 1));
  std::size_t copied = 0;
  for (const Replacement& r : replacements) {
    out += text.substr(copied, r.begin - copied);
    appendEntry(out, r.name, r.value, {});
    copied = r.contentEnd;
  }
  if (!sectionFound) {
    insertAt = text.size();
    insertAfterUnterminated = !text.empty() && text.back() != '\n';
  }
  out += text.substr(copied, insertAt - copied);
  std::string added;
  if (!sectionFound) {
    added += '[';
    added += section;
    added += ']';
    added += eol;
  }
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    if (!found[i]) appendEntry(added, wanted[i].key, wanted[i].value, eol);
  }
  // A last line without a line end gets one first; after a lone "\r" only the "\n", so that
  // the "\r" stays a line end and never becomes part of that line's value.
  if (!added.empty() && insertAfterUnterminated) out += out.ends_with('\r') ? "\n" : eol;
  out += added;
  out += text.substr(insertAt);
  return encodeText(decoded.encoding, std::move(out), decoded.oddByte);
}

std::string profileWrite(std::string_view fileText, std::string_view section, std::string_view key,
                         std::string_view value) {
  const ProfileEntry one[] = {{key, value}};
  return profileWriteAll(fileText, section, one);
}

}  // namespace tollivane::settings
