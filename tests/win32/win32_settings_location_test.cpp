// Where the settings file lives on Windows, and the program's folder in every form of path
// that GetModuleFileName may give.
#include "platform/win32/settings_location.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/win32/program_folder.hpp"
#include "platform/win32/wide_text.hpp"
#include "platform/win32/win32_files.hpp"
#include "win32/scratch_folder.hpp"

namespace tollivane::platform::win32 {
namespace {

namespace fs = std::filesystem;

TEST(Win32SettingsLocation, BesideTheProgramUnlessItsFolderCannotBeWritten) {
  constexpr const char* kAppData = R"(C:\Users\ada\AppData\Roaming)";
  struct Case {
    const char* what;
    ProgramFolderFacts facts;
    std::string appData;
    std::string expected;
  };
  const Case cases[] = {
      {"portable copy", {false, true}, kAppData, R"(D:\Games\Tollivane)"},
      {"read-only folder holding the file", {true, false}, kAppData, R"(D:\Games\Tollivane)"},
      {"writable folder holding the file", {true, true}, kAppData, R"(D:\Games\Tollivane)"},
      {"read-only folder without the file",
       {false, false},
       kAppData,
       R"(C:\Users\ada\AppData\Roaming\Tollivane)"},
      {"application data with a trailing backslash", {false, false}, R"(E:\)", R"(E:\Tollivane)"},
      {"no application data known", {false, false}, "", R"(D:\Games\Tollivane)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(chooseSettingsFolder(R"(D:\Games\Tollivane)", c.facts, c.appData), c.expected)
        << c.what;
  }
}

TEST(Win32SettingsLocation, TheProgramsFolderInEveryFormOfPath) {
  const std::pair<const wchar_t*, const char*> cases[] = {
      {LR"(C:\Games\Tollivane\tollivane.exe)", R"(C:\Games\Tollivane)"},
      {LR"(C:\tollivane.exe)", R"(C:\)"},
      {LR"(\\?\C:\Games\tollivane.exe)", R"(C:\Games)"},
      {LR"(\\?\UNC\server\share\tollivane.exe)", R"(\\server\share)"},
      {LR"(\\?\UNC\server\share\Games\tollivane.exe)", R"(\\server\share\Games)"},
      {LR"(\\server\share\Games\tollivane.exe)", R"(\\server\share\Games)"},
      {L"tollivane.exe", ""},
      {L"", ""},
  };
  for (const auto& [program, folder] : cases) {
    EXPECT_EQ(folderOfProgram(program), folder) << narrow(program);
  }
}

TEST(Win32SettingsLocation, AWritableFolderIsToldByTryingAndKeepsNothing) {
  const tests::ScratchFolder scratch(L"location");
  const fs::path folder = scratch.path() / "portable";
  const std::string path = narrow(folder.wstring());
  EXPECT_FALSE(canCreateFilesIn(path));  // not there yet
  ASSERT_EQ(makeFolders(path + R"(\a\b)"), "");
  EXPECT_TRUE(canCreateFilesIn(path));
  EXPECT_EQ(makeFolders(path + R"(\a\b)"), "");  // already there
  EXPECT_TRUE(fs::is_directory(folder / "a" / "b"));
  EXPECT_TRUE(fs::is_empty(folder / "a" / "b"));
  // A portable copy: the settings stay beside it.
  EXPECT_EQ(Win32Files(path).settingsFile("Tollivane.ini"), path + "\\Tollivane.ini");
  std::string deep = path;
  for (int i = 0; i < 12; ++i) deep += "\\" + std::string(30, static_cast<char>('a' + i));
  ASSERT_GT(deep.size(), std::size_t{MAX_PATH});
  EXPECT_EQ(Win32Files(path).replaceFile(deep + "\\Tollivane.ini", "[main]\r\n"), "");
}

}  // namespace
}  // namespace tollivane::platform::win32
