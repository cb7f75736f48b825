// A fresh folder of one test's own under the system's temporary folder, removed with all it
// holds when the test ends, read-only files and paths past MAX_PATH included, which the
// standard library's own removal stops at.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

namespace tollivane::tests {

class ScratchFolder {
 public:
  // tollivane-NAME-PROCESS-TEST, so that parallel test processes never share one.
  explicit ScratchFolder(const std::wstring& name) {
    path_ =
        std::filesystem::temp_directory_path() /
        (L"tollivane-" + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" + testName());
    removeTree(L"\\\\?\\" + path_.wstring());
    if (!std::filesystem::create_directories(path_)) ADD_FAILURE() << "no scratch folder";
  }
  ~ScratchFolder() { removeTree(L"\\\\?\\" + path_.wstring()); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  static std::wstring testName() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (test == nullptr) return L"";
    const std::string name = test->name();
    return std::wstring(name.begin(), name.end());  // test names are plain ASCII
  }

  static void removeTree(const std::wstring& path) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = path + L"\\" + name;
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          removeTree(child);
        } else {
          DeleteFileW(child.c_str());
        }
      } while (FindNextFileW(search, &entry));
      FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
  }

  std::filesystem::path path_;
};

}  // namespace tollivane::tests
