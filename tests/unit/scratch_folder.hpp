// A fresh folder of one test's own under the system's temporary folder, removed with all it
// holds when the test ends. rm, not std::filesystem: some tests make folders past PATH_MAX.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tollivane::tests {

class ScratchFolder {
 public:
  // tollivane-NAME-XXXXXX
  explicit ScratchFolder(const std::string& name) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("tollivane-" + name + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      ADD_FAILURE() << "no scratch folder " << pattern;
      std::abort();
    }
    path_ = pattern;
  }
  ~ScratchFolder() { EXPECT_EQ(std::system(("rm -rf '" + path_ + "'").c_str()), 0) << path_; }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace tollivane::tests
