#include "settings/profile_text.hpp"

#include <cstddef>
#include <vector>

namespace tollivane::settings {
namespace {

// Left in place when a file starts with it: editors on Windows often save one.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

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

std::vector<Line> splitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t pos = text.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
  while (pos < text.size()) {
    Line line;
    line.begin = pos;
    const auto newline = text.find('\n', pos);
    line.end = newline == std::string_view::npos ? text.size() : newline + 1;
    line.contentEnd = newline == std::string_view::npos ? text.size() : newline;
    if (line.contentEnd > line.begin && text[line.contentEnd - 1] == '\r') --line.contentEnd;
    classify(line, text.substr(line.begin, line.contentEnd - line.begin));
    lines.push_back(line);
    pos = line.end;
  }
  return lines;
}

bool terminated(std::string_view text, const Line& line) { return text[line.end - 1] == '\n'; }

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

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::size_t findSection(const std::vector<Line>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == Kind::Section && sameName(lines[i].name, section)) return i;
  }
  return kNone;
}

std::string_view unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    return v.substr(1, v.size() - 2);
  }
  return v;
}

}  // namespace

std::optional<std::string> profileLookup(std::string_view fileText, std::string_view section,
                                         std::string_view key) {
  const auto lines = splitLines(fileText);
  const auto start = findSection(lines, section);
  if (start == kNone) return std::nullopt;
  for (auto i = start + 1; i < lines.size() && lines[i].kind != Kind::Section; ++i) {
    if (lines[i].kind == Kind::Key && sameName(lines[i].name, key)) {
      return std::string(unquote(lines[i].value));
    }
  }
  return std::nullopt;
}

std::string profileWrite(std::string_view fileText, std::string_view section, std::string_view key,
                         std::string_view value) {
  const auto lines = splitLines(fileText);
  const auto eol = lineEndOf(fileText);
  std::string out;
  out.reserve(fileText.size() + section.size() + key.size() + value.size() + 8);

  const auto start = findSection(lines, section);
  if (start == kNone) {
    out += fileText;
    if (!lines.empty() && !terminated(fileText, lines.back())) out += eol;
    out += '[';
    out += section;
    out += ']';
    out += eol;
    appendEntry(out, key, value, eol);
    return out;
  }

  auto lastNonBlank = start;
  for (auto i = start + 1; i < lines.size() && lines[i].kind != Kind::Section; ++i) {
    const Line& line = lines[i];
    if (line.kind == Kind::Key && sameName(line.name, key)) {
      // The key keeps the spelling it has in the file; only its line changes.
      out += fileText.substr(0, line.begin);
      appendEntry(out, line.name, value, fileText.substr(line.contentEnd));
      return out;
    }
    if (line.kind != Kind::Blank) lastNonBlank = i;
  }

  const Line& after = lines[lastNonBlank];
  out += fileText.substr(0, after.end);
  if (!terminated(fileText, after)) out += eol;
  appendEntry(out, key, value, eol);
  out += fileText.substr(after.end);
  return out;
}

}  // namespace tollivane::settings
