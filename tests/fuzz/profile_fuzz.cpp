// The INI engine on any file: after writing key K = V, reading K gives V, and every other
// line of the file is still there, unchanged and in order.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "settings/profile_encoding.hpp"
#include "settings/profile_text.hpp"

namespace {

using namespace tollivane::settings;

// A name or value from the fuzzer's bytes, in characters that mean nothing to the INI rules.
std::string word(std::string_view& data, std::string_view alphabet, std::size_t longest) {
  std::string out;
  if (data.empty()) return out;
  const std::size_t length = static_cast<unsigned char>(data.front()) % (longest + 1);
  data.remove_prefix(1);
  for (std::size_t i = 0; i < length && !data.empty(); ++i) {
    out += alphabet[static_cast<unsigned char>(data.front()) % alphabet.size()];
    data.remove_prefix(1);
  }
  return out;
}

// Line contents, line ends dropped as the reader drops them.
std::vector<std::string> linesOf(std::string_view fileBytes) {
  const std::string text(decodeText(fileBytes).text());
  std::vector<std::string> lines;
  for (std::size_t pos = 0; pos < text.size();) {
    const auto newline = text.find('\n', pos);
    const auto end = newline == std::string::npos ? text.size() : newline;
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    pos = newline == std::string::npos ? text.size() : newline + 1;
  }
  return lines;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// The written line: "key=value", the key as spelled in the file or as given.
bool isEntry(std::string_view line, std::string_view key, std::string_view value) {
  const auto eq = line.find('=');
  return eq != std::string_view::npos && sameIgnoringCase(line.substr(0, eq), key) &&
         line.substr(eq + 1) == value;
}

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  std::string_view data(reinterpret_cast<const char*>(bytes), size);
  std::string section = word(data, "abcmainrectMAIN", 6);
  std::string key = word(data, "abhotkey12XY", 8);
  const std::string value = word(data, "0123456789-ab", 6);
  if (section.empty()) section = "main";
  if (key.empty()) key = "k";
  const std::string_view file = data;

  const std::string written = profileWrite(file, section, key, value);
  check(profileLookup(written, section, key) == value);
  check(decodeText(written).encoding == decodeText(file).encoding);

  const auto before = linesOf(file);
  const auto after = linesOf(written);
  if (after.size() == before.size()) {
    // The key's line changed in place, or nothing did.
    std::size_t changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
      if (after[i] != before[i]) {
        ++changed;
        check(isEntry(after[i], key, value));
      }
    }
    check(changed <= 1);
  } else if (after.size() == before.size() + 1) {
    // One line added inside the section.
    std::size_t i = 0;
    while (i < before.size() && after[i] == before[i]) ++i;
    check(isEntry(after[i], key, value));
    for (; i < before.size(); ++i) check(after[i + 1] == before[i]);
  } else {
    // A new section with the key at the end.
    check(after.size() == before.size() + 2);
    for (std::size_t i = 0; i < before.size(); ++i) check(after[i] == before[i]);
    check(after[before.size()] == "[" + section + "]");
    check(after[before.size() + 1] == key + "=" + value);
  }

  // Several keys in one pass are the same as one after the other.
  const ProfileEntry entries[] = {{key, value}, {"hotkey2", "7"}, {key, "9"}};
  std::string oneByOne(file);
  for (const auto& [k, v] : entries) oneByOne = profileWrite(oneByOne, section, k, v);
  check(profileWriteAll(file, section, entries) == oneByOne);
  return 0;
}
