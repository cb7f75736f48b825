// Our settings engine against Windows' own profile functions (Wine's kernel32 here) on the
// same files: what each reads a value as. They agree except where docs/profile-reading.md
// says why ours reads otherwise; a new disagreement fails here until it is explained there.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "settings/profile.hpp"
#include "win32/scratch_folder.hpp"

namespace tollivane::settings {
namespace {

namespace fs = std::filesystem;

struct Case {
  const char* name;
  std::string text;
};

TEST(ProfileSecondOpinion, DisagreesOnlyWhereExplained) {
  using namespace std::string_literals;
  const Case cases[] = {
      {"plain", "[main]\r\nhotkey1=116\r\n"},
      {"blanks inside the brackets", "[ main ]\r\nhotkey1=116\r\n"},
      {"blanks around key and value", "[main]\r\n  hotkey1 =  116  \r\n"},
      {"tabs around names and value", "[main]\r\n\thotkey1\t=\t116\t\r\n"},
      {"other letter case", "[MAIN]\r\nHotKey1=116\r\n"},
      {"double quotes", "[main]\r\nhotkey1=\"116\"\r\n"},
      {"single quotes", "[main]\r\nhotkey1='116'\r\n"},
      {"key twice", "[main]\r\nhotkey1=1\r\nhotkey1=2\r\n"},
      {"section twice", "[main]\r\nother=0\r\n[main]\r\nhotkey1=2\r\n"},
      {"line feeds only", "[main]\nhotkey1=116\n"},
      {"carriage returns only", "[main]\rhotkey1=116\r"},
      {"no last line end", "[main]\r\nhotkey1=116"},
      {"commented out", "[main]\r\n;hotkey1=5\r\nhotkey1=116\r\n"},
      {"no equals sign", "[main]\r\nhotkey1\r\n"},
      {"empty value", "[main]\r\nhotkey1=\r\n"},
      {"before any section", "hotkey1=5\r\n[main]\r\n"},
      {"byte order mark", "\xEF\xBB\xBF[main]\r\nhotkey1=116\r\n"},
      {"text after the section", "[main] old\r\nhotkey1=116\r\n"},
      {"comment after the value", "[main]\r\nhotkey1=116 ; start\r\n"},
      {"equals sign in the value", "[main]\r\nhotkey1=1=2\r\n"},
      {"NUL in the value",
       "[main]\r\nhotkey1=11\0"
       "6\r\n"s},
      {"long value", "[main]\r\nhotkey1=" + std::string(300, '7') + "\r\n"},
  };
  const tests::ScratchFolder scratch(L"opinion");
  const fs::path file = scratch.path() / "Tollivane.ini";
  std::map<std::string, std::pair<std::string, std::string>> disagreements;
  for (const auto& [name, text] : cases) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    // The program's own call: a 255-character buffer.
    char buffer[255]{};
    const DWORD length = GetPrivateProfileStringA("main", "hotkey1", "", buffer, sizeof buffer,
                                                  file.string().c_str());
    const std::string windows(buffer, length);
    const std::string ours = storedValue(text, "main", "hotkey1").value_or("");
    if (windows != ours) disagreements[name] = {windows, ours};
  }

  const auto shown = [](std::string text) {
    for (auto at = text.find('\0'); at != std::string::npos; at = text.find('\0', at)) {
      text.replace(at, 1, "\\0");
    }
    return text;
  };
  std::string report;
  for (const auto& [name, values] : disagreements) {
    report += std::string(name) + ": Windows \"" + shown(values.first) + "\", ours \"" +
              shown(values.second) + "\"\n";
  }
  // Each explained in docs/profile-reading.md.
  const std::string explained =
      "NUL in the value: Windows \"11\", ours \"11\\06\"\n"
      "blanks inside the brackets: Windows \"116\", ours \"\"\n"
      "carriage returns only: Windows \"116\", ours \"\"\n";
  EXPECT_EQ(report, explained) << "explain a new disagreement in docs/profile-reading.md";
}

}  // namespace
}  // namespace tollivane::settings
