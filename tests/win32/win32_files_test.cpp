#include "platform/win32/win32_files.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/win32/atomic_update.hpp"
#include "platform/win32/program_folder.hpp"
#include "platform/win32/whole_file_read.hpp"
#include "platform/win32/wide_text.hpp"
#include "win32/scratch_folder.hpp"

namespace tollivane::platform::win32 {
namespace {

namespace fs = std::filesystem;

// A fresh folder whose name needs more than any 8-bit code page: Cyrillic, CJK and an emoji
// outside the Basic Multilingual Plane.
class Win32FilesTest : public ::testing::Test {
 protected:
  tests::ScratchFolder scratch_{
      widen("files-\xd0\xa1\xd0\xbf\xd0\xb8\xd0\xb4-\xe6\x97\xa5\xe6\x9c\xac-\xf0\x9f\x8f\x81")};
  const fs::path folder_ = scratch_.path();

  std::string at(const std::string& name) const {
    return narrow((folder_ / widen(name)).wstring());
  }
  void put(const std::string& name, const std::string& bytes) const {
    EXPECT_EQ(replaceFileAtomically(at(name), bytes), "") << name;
  }
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      found.push_back(narrow(entry.path().filename().wstring()));
    }
    std::sort(found.begin(), found.end());
    return found;
  }
};

TEST_F(Win32FilesTest, WritesAndReadsBackAnyBytesUnderAUnicodeName) {
  std::string bytes = "[main]\r\nhotkey1=116\nodd\0bytes\xff\r\n";
  bytes += std::string(100'000, 'x');
  const std::string name = "Tollivane-\xc3\xa9\xe2\x82\xac.ini";
  put(name, bytes);
  EXPECT_TRUE(isFile(at(name)));
  EXPECT_EQ(readWholeFile(at(name)), bytes);
  put(name, "");
  EXPECT_EQ(readWholeFile(at(name)), "");
  EXPECT_EQ(names(), std::vector<std::string>{name}) << "no temporary file stays behind";
}

TEST_F(Win32FilesTest, OnlyFilesCountHiddenOnesIncluded) {
  put("plain", "x");
  put("hidden", "x");
  SetFileAttributesW(widen(at("hidden")).c_str(), FILE_ATTRIBUTE_HIDDEN);
  fs::create_directory(folder_ / L"folder");
  const std::pair<std::string, bool> cases[] = {
      {at("plain"), true},    {at("hidden"), true}, {at("folder"), false},
      {at("missing"), false}, {"", false},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(isFile(path), expected) << path;
  EXPECT_EQ(readWholeFile(at("folder")), std::nullopt);
  EXPECT_EQ(readWholeFile(at("missing")), std::nullopt);
}

TEST_F(Win32FilesTest, ReplacingKeepsTheHiddenMark) {
  put("hidden", "old");
  SetFileAttributesW(widen(at("hidden")).c_str(), FILE_ATTRIBUTE_HIDDEN);
  put("hidden", "new");
  EXPECT_EQ(readWholeFile(at("hidden")), "new");
  EXPECT_TRUE(GetFileAttributesW(widen(at("hidden")).c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(Win32FilesTest, RefusalsLeaveEverythingAsItWasAndSayWhyInTheSystemsWords) {
  put("read-only", "kept");
  SetFileAttributesW(widen(at("read-only")).c_str(), FILE_ATTRIBUTE_READONLY);
  fs::create_directory(folder_ / L"in the way");
  const struct {
    std::string path;
    std::string reason;
  } cases[] = {
      {at("read-only"), systemMessage(ERROR_ACCESS_DENIED)},
      {at("in the way"), "is a folder, not a regular file"},  // as Linux says it
      {at("no folder\\file"), systemMessage(ERROR_PATH_NOT_FOUND)},
  };
  for (const auto& [path, reason] : cases) {
    EXPECT_EQ(replaceFileAtomically(path, "new"), reason) << path;
  }
  EXPECT_EQ(readWholeFile(at("read-only")), "kept");
  EXPECT_TRUE(fs::is_directory(folder_ / L"in the way"));
  EXPECT_EQ(names(), (std::vector<std::string>{"in the way", "read-only"}));
}

TEST_F(Win32FilesTest, ReasonsAreWholeSentencesWithoutLineEnds) {
  for (const unsigned long error : {ERROR_ACCESS_DENIED, ERROR_PATH_NOT_FOUND, ERROR_DISK_FULL}) {
    const std::string reason = systemMessage(error);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(reason.find_first_of("\r\n"), std::string::npos) << reason;
    EXPECT_NE(reason.back(), '.') << reason;
  }
  EXPECT_EQ(systemMessage(0x2000'0123), "Error 536871203");
}

TEST_F(Win32FilesTest, PathsLongerThanMaxPathWork) {
  std::string deep;
  for (int i = 0; i < 12; ++i) deep += "\\" + std::string(30, static_cast<char>('a' + i));
  ASSERT_GT(at(deep).size(), std::size_t{MAX_PATH});
  ASSERT_TRUE(fs::create_directories(L"\\\\?\\" + (folder_ / widen(deep.substr(1))).wstring()));
  const std::string file = at(deep.substr(1) + "\\Tollivane.ini");
  EXPECT_EQ(replaceFileAtomically(file, "deep"), "");
  EXPECT_TRUE(isFile(file));
  EXPECT_EQ(readWholeFile(file), "deep");
}

TEST(Win32ProgramFolder, IsTheExecutablesFolderWithoutATrailingSeparator) {
  wchar_t program[4096];
  const DWORD length = GetModuleFileNameW(nullptr, program, 4096);
  const fs::path expected = fs::path(std::wstring(program, length)).parent_path();
  const std::string folder = executableFolder();
  EXPECT_EQ(widen(folder), expected.wstring());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_EQ(Win32Files().programFolder(), folder);
  EXPECT_EQ(Win32Files("C:\\given").programFolder(), "C:\\given");
}

TEST(WideText, RoundTripsEveryPlane) {
  const std::string texts[] = {"", "plain", "\xc3\xa9\xe2\x82\xac\xf0\x9f\x8f\x81",
                               std::string("nul\0inside", 10)};
  for (const auto& text : texts) EXPECT_EQ(narrow(widen(text)), text);
  EXPECT_EQ(widen("\xf0\x9f\x8f\x81").size(), 2u) << "a surrogate pair";
}

}  // namespace
}  // namespace tollivane::platform::win32
