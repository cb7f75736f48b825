#include "settings/profile.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "common/runtime_error.hpp"
#include "settings/settings_keys.hpp"

namespace tollivane::settings {
namespace {

// Files in memory, with the two failures a real disk can give: a file that is there but
// cannot be read, and a replacement that is refused.
class FakeFiles : public platform::Files {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> unreadable;
  std::string refusal;  // non-empty: replaceFile fails with this reason
  int replacements = 0;

  std::string settingsFile(std::string_view name) override {
    return "/opt/tollivane/" + std::string(name);
  }
  bool fileExists(const std::string& path) override { return files.contains(path); }
  std::optional<std::string> readFile(const std::string& path) override {
    const auto found = files.find(path);
    if (found == files.end() || unreadable.contains(path)) return std::nullopt;
    return found->second;
  }
  std::string replaceFile(const std::string& path, std::string_view bytes) {
    ++replacements;
    if (!refusal.empty()) return refusal;
    files[path] = bytes;
    return {};
  }
  std::string updateFile(const std::string& path, const FileEdit& edit) override {
    const auto current = readFile(path);
    if (!current && fileExists(path)) return "the existing file cannot be read";
    const auto updated = edit(current);
    return updated ? replaceFile(path, *updated) : std::string();
  }
};

const std::string kFile = "/opt/tollivane/Tollivane.ini";

TEST(ReadProfileValue, TellsMissingFromEmpty) {
  FakeFiles disk;
  EXPECT_EQ(readProfileValue(disk, "main", "hotkey1", kFile), std::nullopt);

  disk.files[kFile] = "";
  EXPECT_EQ(readProfileValue(disk, "main", "hotkey1", kFile), std::nullopt);

  disk.files[kFile] = "[main]\r\nhotkey1=\r\nhotkey2=117\r\n";
  EXPECT_EQ(readProfileValue(disk, "main", "hotkey1", kFile), "");
  EXPECT_EQ(readProfileValue(disk, "main", "hotkey2", kFile), "117");
  EXPECT_EQ(readProfileValue(disk, "main", "hotkey3", kFile), std::nullopt);
  EXPECT_EQ(readProfileValue(disk, "rect", "X", kFile), std::nullopt);
}

TEST(ReadProfileValue, CutsLongValuesTo254Characters) {
  FakeFiles disk;
  const std::string exact(254, '7');
  const std::string longer = std::string(254, '1') + "23456";
  disk.files[kFile] = "[main]\nexact=" + exact + "\nlonger=\"" + longer + "\"\n";
  EXPECT_EQ(readProfileValue(disk, "main", "exact", kFile), exact);
  EXPECT_EQ(readProfileValue(disk, "main", "longer", kFile), std::string(254, '1'));
}

TEST(WriteProfileValue, CreatesTheFileAndUpdatesIt) {
  FakeFiles disk;
  writeProfileValue(disk, kPosX.section, kPosX.key, "25", kFile);
  writeProfileValue(disk, kPosY.section, kPosY.key, "315", kFile);
  EXPECT_EQ(disk.files[kFile], "[rect]\r\nX=25\r\nY=315\r\n");

  writeProfileValue(disk, kPosX.section, kPosX.key, "640", kFile);
  EXPECT_EQ(disk.files[kFile], "[rect]\r\nX=640\r\nY=315\r\n");
  EXPECT_EQ(readProfileValue(disk, "rect", "X", kFile), "640");
}

TEST(WriteProfileValues, StoresASectionInOneReplacement) {
  FakeFiles disk;
  disk.files[kFile] = "[rect]\r\nX=25\r\nY=315\r\n";
  const ProfileEntry keys[] = {{"hotkey1", "116"}, {"hotshift1", "0"}, {"hotkey2", "117"},
                               {"hotshift2", "0"}, {"hotkey3", "118"}, {"hotshift3", "0"}};
  writeProfileValues(disk, "main", keys, kFile);
  EXPECT_EQ(disk.replacements, 1);
  EXPECT_EQ(disk.files[kFile],
            "[rect]\r\nX=25\r\nY=315\r\n[main]\r\nhotkey1=116\r\nhotshift1=0\r\n"
            "hotkey2=117\r\nhotshift2=0\r\nhotkey3=118\r\nhotshift3=0\r\n");
  EXPECT_EQ(storedValue(disk.files[kFile], "main", "hotkey3"), "118");
}

TEST(WriteProfileValue, LeavesTheFileAloneWhenTheValueIsStoredAlready) {
  FakeFiles disk;
  disk.files[kFile] = "[rect]\nX=25\n";
  disk.refusal = "Read-only file system";
  EXPECT_NO_THROW(writeProfileValue(disk, "rect", "X", "25", kFile));
  EXPECT_EQ(disk.replacements, 0);
}

TEST(WriteProfileValue, ReportsAFailedWriteWithTheFileAndTheReason) {
  FakeFiles disk;
  disk.files[kFile] = "[rect]\nX=25\n";
  disk.refusal = "No space left on device";
  try {
    writeProfileValue(disk, "rect", "X", "30", kFile);
    FAIL() << "no error raised";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), kErrFileAccess);
    EXPECT_EQ(error.description(),
              "Cannot save settings to /opt/tollivane/Tollivane.ini: No space left on device");
  }
  EXPECT_EQ(disk.files[kFile], "[rect]\nX=25\n");
}

TEST(WriteProfileValue, NeverReplacesAFileItCouldNotRead) {
  FakeFiles disk;
  disk.files[kFile] = "[main]\nhotkey1=116\n; the user's notes\n";
  disk.unreadable.insert(kFile);
  try {
    writeProfileValue(disk, "rect", "X", "30", kFile);
    FAIL() << "no error raised";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), kErrFileAccess);
    EXPECT_TRUE(error.description().starts_with("Cannot save settings to " + kFile + ": "))
        << error.description();
  }
  EXPECT_EQ(disk.replacements, 0);
}

}  // namespace
}  // namespace tollivane::settings
