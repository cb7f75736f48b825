#include "platform/posix/atomic_update.hpp"
#include "platform/posix/program_folder.hpp"
#include "platform/posix/whole_file_read.hpp"
#include "unit/scratch_folder.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace tollivane::platform::posix {
namespace {

namespace fs = std::filesystem;

class PosixFiles : public ::testing::Test {
 protected:
  std::string at(const std::string& name) const { return (dir_ / name).string(); }

  void put(const std::string& name, const std::string& bytes) const {
    std::ofstream(at(name), std::ios::binary) << bytes;
  }

  // Every entry of the folder, with a file's bytes or a marker for anything else.
  std::map<std::string, std::string> snapshot() const {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      const auto name = entry.path().filename().string();
      if (entry.is_symlink()) {
        entries[name] = "-> " + fs::read_symlink(entry.path()).string();
      } else if (entry.is_regular_file()) {
        entries[name] = readWholeFile(entry.path().string()).value_or("<unreadable>");
      } else {
        entries[name] = "<folder>";
      }
    }
    return entries;
  }

  tollivane::tests::ScratchFolder scratch_{"files"};
  const fs::path dir_ = scratch_.path();
};

TEST_F(PosixFiles, IsFileAcceptsAnythingButFolders) {
  put("plain", "x");
  put(".hidden", "x");
  fs::create_directory(at("folder"));
  fs::create_symlink(at("plain"), at("link-to-file"));
  fs::create_symlink(at("folder"), at("link-to-folder"));
  fs::create_symlink(at("gone"), at("dangling"));
  ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0600), 0);
  fs::create_symlink(at("fifo"), at("link-to-fifo"));
  // A FIFO is there even though no settings can be read from it: start-up says so.
  const std::pair<const char*, bool> cases[] = {
      {"plain", true},        {".hidden", true},         {"folder", false},
      {"link-to-file", true}, {"link-to-folder", false}, {"dangling", false},
      {"missing", false},     {"plain/", false},         {"", false},
      {"fifo", true},         {"link-to-fifo", true},
  };
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(isFile(at(name)), expected) << name;
  }
  EXPECT_FALSE(isFile(""));
}

TEST_F(PosixFiles, ReadsWholeFilesAndNothingElse) {
  std::string big(100'000, 'a');
  big[5] = '\0';
  big[70'000] = '\r';
  put("big", big);
  put("empty", "");
  fs::create_directory(at("folder"));
  EXPECT_EQ(readWholeFile(at("big")), big);
  EXPECT_EQ(readWholeFile(at("empty")), "");
  EXPECT_EQ(readWholeFile(at("missing")), std::nullopt);
  EXPECT_EQ(readWholeFile(at("folder")), std::nullopt);
}

TEST_F(PosixFiles, ExecutableFolderHoldsThisTest) {
  const auto folder = executableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.front(), '/');
  EXPECT_NE(folder.back(), '/');
  EXPECT_TRUE(isFile(folder + "/posix_files_test")) << folder;
}

TEST_F(PosixFiles, ReplaceCreatesAndReplacesWholeFiles) {
  const mode_t oldMask = ::umask(027);
  const auto created = replaceFileAtomically(at("new.ini"), "[rect]\r\nX=25\r\n");
  ::umask(oldMask);
  ASSERT_EQ(created, "");
  EXPECT_EQ(readWholeFile(at("new.ini")), "[rect]\r\nX=25\r\n");
  EXPECT_EQ(fs::status(at("new.ini")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  put("old.ini", std::string(5000, 'o'));
  ASSERT_EQ(::chmod(at("old.ini").c_str(), 0604), 0);
  // A reader that opened the file before sees all of the old bytes, never a torn mix.
  const int reader = ::open(at("old.ini").c_str(), O_RDONLY);
  ASSERT_GE(reader, 0);
  ASSERT_EQ(replaceFileAtomically(at("old.ini"), "short"), "");
  std::string seen(6000, '\0');
  const auto got = ::read(reader, seen.data(), seen.size());
  ::close(reader);
  EXPECT_EQ(got, 5000);
  EXPECT_EQ(readWholeFile(at("old.ini")), "short");
  EXPECT_EQ(fs::status(at("old.ini")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);

  ASSERT_EQ(replaceFileAtomically(at("old.ini"), ""), "");
  EXPECT_EQ(readWholeFile(at("old.ini")), "");

  EXPECT_EQ(snapshot().size(), 2u) << "a temporary file was left behind";
}

TEST_F(PosixFiles, ReplaceWritesThroughLinks) {
  fs::create_directory(at("real"));
  put("real/settings.ini", "old");
  fs::create_symlink("real/settings.ini", at("relative"));
  fs::create_symlink(at("relative"), at("chain"));
  fs::create_symlink("real/later.ini", at("dangling"));

  ASSERT_EQ(replaceFileAtomically(at("chain"), "new"), "");
  EXPECT_TRUE(fs::is_symlink(at("chain")));
  EXPECT_TRUE(fs::is_symlink(at("relative")));
  EXPECT_EQ(readWholeFile(at("real/settings.ini")), "new");

  ASSERT_EQ(replaceFileAtomically(at("dangling"), "made"), "");
  EXPECT_TRUE(fs::is_symlink(at("dangling")));
  EXPECT_EQ(readWholeFile(at("real/later.ini")), "made");
}

TEST_F(PosixFiles, FailedReplaceLeavesEverythingAsItWas) {
  put("settings.ini", "[rect]\nX=25\n");
  fs::create_directory(at("folder"));
  put("folder/inside", "keep");
  fs::create_symlink(at("loop-b"), at("loop-a"));
  fs::create_symlink(at("loop-a"), at("loop-b"));
  const char* targets[] = {
      "missing-folder/settings.ini",  // no folder to put it in
      "folder",                       // a folder is in the way
      "settings.ini/child",           // a file where a folder should be
      "loop-a",                       // links that never end
  };
  const auto before = snapshot();
  for (const char* target : targets) {
    EXPECT_NE(replaceFileAtomically(at(target), "new bytes"), "") << target;
    EXPECT_EQ(snapshot(), before) << target;
  }
  EXPECT_EQ(readWholeFile(at("folder/inside")), "keep");
}

TEST_F(PosixFiles, AReadOnlyFileIsNotReplaced) {
  put("settings.ini", "[rect]\nX=25\n");
  fs::permissions(at("settings.ini"), fs::perms::owner_read | fs::perms::group_read);
  const auto before = snapshot();
  EXPECT_EQ(replaceFileAtomically(at("settings.ini"), "new bytes"), "Permission denied");
  EXPECT_EQ(snapshot(), before);
}

}  // namespace
}  // namespace tollivane::platform::posix
