// What every files adapter promises its callers, written once: each adapter's test file
// instantiates FilesContract with a kit that makes the adapter and stands for the rest of the
// machine (another program saving, a reader holding the file open).
//   INSTANTIATE_TEST_SUITE_P(Posix, FilesContract, ::testing::Values(posixKit()));
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.hpp"

namespace tollivane::contract {

struct FilesKit {
  std::string name;
  // A new adapter, as a program makes it.
  std::function<std::unique_ptr<platform::Files>()> make;
  // Starts another program that makes `count` updates of `path` through its own adapter, each
  // adding the line "TAG N\n" (N = 1..count); the function returned waits for it to end and
  // gives the reasons of the updates it saw refused.
  std::function<std::function<std::vector<std::string>()>(const std::string& path, int count,
                                                          const std::string& tag)>
      otherWriter;
  // Holds the file open the way an editor or a virus scanner may, sharing as little as the
  // system lets it; the function returned lets go.
  std::function<std::function<void()>(const std::string& path)> holdOpen;
};

inline std::string kitName(const ::testing::TestParamInfo<FilesKit>& info) {
  return info.param.name;
}

class FilesContract : public ::testing::TestWithParam<FilesKit> {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              ("tollivane-contract-" + GetParam().name + "-" + test->name() + "-" +
               std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    ASSERT_TRUE(std::filesystem::create_directories(folder_));
    files_ = GetParam().make();
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::string at(const std::filesystem::path& name) const { return (folder_ / name).string(); }
  std::string replace(const std::string& path, const std::string& bytes) {
    return files_->updateFile(path, [bytes](const auto&) { return std::optional(bytes); });
  }
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
      found.push_back(entry.path().filename().string());
    }
    std::sort(found.begin(), found.end());
    return found;
  }
  // An update that adds a line to what the file holds.
  static platform::Files::FileEdit adding(const std::string& line) {
    return [line](const std::optional<std::string>& current) -> std::optional<std::string> {
      return current.value_or("") + line;
    };
  }

  std::filesystem::path folder_;
  std::unique_ptr<platform::Files> files_;
};

TEST_P(FilesContract, UpdatesFromTwoProgramsAtOnceLoseNothing) {
  constexpr int kCount = 300;
  const std::string path = at("Tollivane.ini");
  const auto waitForOther = GetParam().otherWriter(path, kCount, "B");
  std::vector<std::string> refused;
  for (int n = 1; n <= kCount; ++n) {
    const std::string reason = files_->updateFile(path, adding("A " + std::to_string(n) + "\n"));
    if (!reason.empty()) refused.push_back(reason);
  }
  const std::vector<std::string> otherRefused = waitForOther();
  EXPECT_EQ(refused, std::vector<std::string>{});
  EXPECT_EQ(otherRefused, std::vector<std::string>{});

  // Every update's line, once, in each writer's own order.
  std::istringstream lines(files_->readFile(path).value_or(""));
  std::set<std::string> seen;
  int last[2] = {0, 0};
  bool inOrder = true;
  for (std::string line; std::getline(lines, line);) {
    seen.insert(line);
    const int writer = line[0] == 'A' ? 0 : 1;
    const int n = std::stoi(line.substr(2));
    inOrder = inOrder && n > last[writer];
    last[writer] = n;
  }
  EXPECT_EQ(seen.size(), 2u * kCount);
  EXPECT_TRUE(inOrder);
  // No temporary or lock file stays behind.
  EXPECT_EQ(names(), std::vector<std::string>{"Tollivane.ini"});
}

TEST_P(FilesContract, AFileHeldOpenDelaysASaveButDoesNotRefuseIt) {
  const std::string path = at("Tollivane.ini");
  ASSERT_EQ(replace(path, "[main]\n"), "");
  auto letGo = GetParam().holdOpen(path);
  std::atomic<bool> heldOpen{true};
  std::thread holder([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    heldOpen = false;
    letGo();
  });
  const std::string reason = files_->updateFile(path, adding("hotkey1=116\n"));
  holder.join();
  EXPECT_EQ(reason, "");
  EXPECT_EQ(files_->readFile(path), "[main]\nhotkey1=116\n");
  EXPECT_EQ(names(), std::vector<std::string>{"Tollivane.ini"});
}

TEST_P(FilesContract, AnUpdateSeesTheFileAsItIsAndMayLeaveItAlone) {
  const std::string path = at("Tollivane.ini");
  std::vector<std::optional<std::string>> seen;
  const auto looking = [&](const std::optional<std::string>& current) {
    seen.push_back(current);
    return std::optional<std::string>();
  };
  EXPECT_EQ(files_->updateFile(path, looking), "");
  EXPECT_FALSE(files_->fileExists(path));  // nothing made when nothing was to be written
  ASSERT_EQ(replace(path, "x=1\r\n"), "");
  EXPECT_EQ(files_->updateFile(path, looking), "");
  EXPECT_EQ(seen, (std::vector<std::optional<std::string>>{std::nullopt, "x=1\r\n"}));
  EXPECT_EQ(files_->readFile(path), "x=1\r\n");
  // A first save into a settings folder that is not there yet makes it.
  const std::string deeper = at(std::filesystem::path("new") / "deeper" / "Tollivane.ini");
  ASSERT_EQ(replace(deeper, "y=2\r\n"), "");
  EXPECT_EQ(files_->readFile(deeper), "y=2\r\n");
}

TEST_P(FilesContract, RefusalsGiveTheReasonInOneLineAndChangeNothing) {
  std::filesystem::create_directory(folder_ / "Tollivane.ini");
  ASSERT_EQ(replace(at("plain"), "keep"), "");
  const std::string cases[] = {
      at("Tollivane.ini"),                                   // a folder of that name
      at(std::filesystem::path("plain") / "Tollivane.ini"),  // a file where a folder should be
  };
  for (const std::string& path : cases) {
    const std::string reason = files_->updateFile(path, adding("X=25\n"));
    EXPECT_FALSE(reason.empty()) << path;
    EXPECT_EQ(reason.find_first_of("\r\n"), std::string::npos) << reason;
    EXPECT_NE(reason.front(), ' ') << reason;
  }
  EXPECT_TRUE(std::filesystem::is_directory(folder_ / "Tollivane.ini"));
  EXPECT_EQ(files_->readFile(at("plain")), "keep");
  EXPECT_EQ(names(), (std::vector<std::string>{"Tollivane.ini", "plain"}));
}

// The same limits and the same words on every system.
TEST_P(FilesContract, OnlyRegularFilesUpTo128MiBAreReadOrWritten) {
  std::filesystem::create_directory(folder_ / "Tollivane.ini");
  EXPECT_EQ(files_->updateFile(at("Tollivane.ini"), adding("X=25\n")),
            "is a folder, not a regular file");

  { std::ofstream(folder_ / "large.ini") << "x"; }
  std::filesystem::resize_file(folder_ / "large.ini",
                               platform::kMaxFileSize + 1);  // sparse: costs no disk
  EXPECT_EQ(files_->readFile(at("large.ini")), std::nullopt);
  EXPECT_EQ(files_->updateFile(at("large.ini"), adding("X=25\n")), "is larger than 128 MiB");

  EXPECT_EQ(replace(at("new.ini"), std::string(platform::kMaxFileSize + 1, 'x')),
            "would be larger than 128 MiB");
}

}  // namespace tollivane::contract
