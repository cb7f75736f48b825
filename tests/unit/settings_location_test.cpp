// Where the settings file lives: beside a portable copy, in the user's configuration folder
// for an installed program, and that folder made by the first save.
#include "platform/posix/settings_location.hpp"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "frontend/sim/scenario_runner.hpp"
#include "frontend/sim/sim_desktop.hpp"
#include "platform/posix/posix_files.hpp"
#include "unit/scratch_folder.hpp"

namespace tollivane::platform::posix {
namespace {

namespace fs = std::filesystem;

constexpr const char* kConfig = "/home/ada/.config";

TEST(SettingsLocation, TheRuleChoosesBesideOrTheConfigurationFolder) {
  struct Case {
    const char* what;
    ProgramFolderFacts facts;
    std::string configFolder;
    std::string expected;
  };
  const Case cases[] = {
      {"portable copy in a folder of the user's", {false, true, false}, kConfig, "/games/t"},
      {"unwritable folder holding the file", {true, false, false}, kConfig, "/games/t"},
      {"unwritable folder without the file",
       {false, false, false},
       kConfig,
       "/home/ada/.config/tollivane"},
      {"installed, root may write there",
       {false, true, true},
       kConfig,
       "/home/ada/.config/tollivane"},
      {"installed, the file put beside it", {true, false, true}, kConfig, "/games/t"},
      {"no home known: nowhere else to go", {false, false, true}, "", "/games/t"},
      {"configuration folder at the root", {false, false, false}, "/", "/tollivane"},
      {"configuration folder with a trailing slash",
       {false, false, false},
       "/cfg/",
       "/cfg/tollivane"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(chooseSettingsFolder("/games/t", c.facts, c.configFolder), c.expected) << c.what;
  }
}

TEST(SettingsLocation, ConfigurationFolderFollowsTheXdgRules) {
  struct Case {
    const char* xdgConfigHome;
    const char* home;
    std::string expected;
  };
  const Case cases[] = {
      {"/data/cfg", "/home/ada", "/data/cfg"},
      {nullptr, "/home/ada", "/home/ada/.config"},
      {"", "/home/ada", "/home/ada/.config"},
      {"relative/cfg", "/home/ada", "/home/ada/.config"},
      {nullptr, "/home/ada/", "/home/ada/.config"},
      {nullptr, "/", "/.config"},
      {"/data/cfg", nullptr, "/data/cfg"},
      {nullptr, nullptr, ""},
      {nullptr, "relative", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(userConfigFolder(c.xdgConfigHome, c.home), c.expected)
        << (c.xdgConfigHome ? c.xdgConfigHome : "(unset)") << " " << (c.home ? c.home : "(unset)");
  }
}

// Real folders, seen by an ordinary user: root may write anywhere, so a test run as root
// answers from a child process that has given root up.
class SettingsFolderOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    program_ = dir_ / "program";
    fs::create_directory(program_);
    ::setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
  }
  void TearDown() override {
    fs::permissions(program_, fs::perms::owner_all);
    ::unsetenv("XDG_CONFIG_HOME");
  }

  void makeReadOnly(const fs::path& folder) {
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
  }

  static std::string asOrdinaryUser(const std::string& programFolder) {
    if (::geteuid() != 0) return settingsFolderFor(programFolder, "Tollivane.ini");
    int channel[2];
    if (::pipe(channel) != 0) return "<no pipe>";
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(channel[0]);
      constexpr uid_t kNobody = 65534;
      if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
        ::_exit(2);
      }
      const std::string folder = settingsFolderFor(programFolder, "Tollivane.ini");
      const bool written =
          ::write(channel[1], folder.data(), folder.size()) == static_cast<ssize_t>(folder.size());
      ::_exit(written ? 0 : 3);
    }
    ::close(channel[1]);
    std::string answer;
    char buffer[256];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) {
      answer.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? answer : "<child failed>";
  }

  tollivane::tests::ScratchFolder scratch_{"location"};
  const fs::path dir_ = scratch_.path();
  fs::path program_;
};

TEST_F(SettingsFolderOnDisk, AWritableFolderKeepsTheFileBesideTheProgram) {
  ASSERT_EQ(
      ::chown(program_.c_str(), ::geteuid() == 0 ? 65534 : ::geteuid(), static_cast<gid_t>(-1)), 0);
  EXPECT_EQ(asOrdinaryUser(program_), program_.string());
}

TEST_F(SettingsFolderOnDisk, AnUnwritableFolderHoldingTheFileKeepsIt) {
  std::ofstream(program_ / "Tollivane.ini") << "[main]\n";
  makeReadOnly(program_);
  EXPECT_EQ(asOrdinaryUser(program_), program_.string());
}

TEST_F(SettingsFolderOnDisk, AnUnwritableFolderWithoutTheFileUsesTheConfigurationFolder) {
  makeReadOnly(program_);
  EXPECT_EQ(asOrdinaryUser(program_), (dir_ / "config" / "tollivane").string());
}

TEST_F(SettingsFolderOnDisk, WithoutXdgConfigHomeTheHomeFolderIsUsed) {
  makeReadOnly(program_);
  ::unsetenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  const std::string saved = home ? home : "";
  ::setenv("HOME", dir_.c_str(), 1);
  const std::string folder = asOrdinaryUser(program_);
  ::setenv("HOME", saved.c_str(), 1);
  EXPECT_EQ(folder, (dir_ / ".config" / "tollivane").string());
}

TEST_F(SettingsFolderOnDisk, WithoutHomeThePasswordDatabaseNamesIt) {
  makeReadOnly(program_);
  ::unsetenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  const std::string saved = home ? home : "";
  ::unsetenv("HOME");
  const std::string folder = asOrdinaryUser(program_);
  ::setenv("HOME", saved.c_str(), 1);
  const passwd* user = ::getpwuid(::geteuid() == 0 ? 65534 : ::geteuid());
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(folder, std::string(user->pw_dir) + "/.config/tollivane");
}

TEST_F(SettingsFolderOnDisk, AnInstalledProgramUsesTheConfigurationFolderThoughItMayWrite) {
  const fs::path prefix = dir_ / "prefix";
  fs::create_directories(prefix / "bin");
  fs::create_directories(prefix / "share" / "applications");
  const fs::path entry = prefix / "share" / "applications" / "org.example.tollivane.desktop";
  EXPECT_EQ(settingsFolderFor((prefix / "bin").string(), "Tollivane.ini"),
            (prefix / "bin").string())
      << "no desktop entry: a portable copy in a folder named bin";
  std::ofstream(entry) << "[Desktop Entry]\n";
  EXPECT_TRUE(isInstalledFolder((prefix / "bin").string(), "org.example.tollivane.desktop"));
  EXPECT_EQ(settingsFolderFor((prefix / "bin").string(), "Tollivane.ini"),
            (dir_ / "config" / "tollivane").string());
  EXPECT_FALSE(isInstalledFolder((prefix / "share").string(), "org.example.tollivane.desktop"));
  EXPECT_FALSE(isInstalledFolder((prefix / "bin").string(), "another.desktop"));
}

TEST_F(SettingsFolderOnDisk, TheFirstSaveMakesTheFolderPrivateToTheUser) {
  PosixFiles files;
  const fs::path file = dir_ / "config" / "tollivane" / "Tollivane.ini";
  EXPECT_EQ(files.replaceFile(file.string(), "[main]\n"), "");
  EXPECT_EQ(files.readFile(file.string()), "[main]\n");
  for (const fs::path& made : {dir_ / "config", dir_ / "config" / "tollivane"}) {
    EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_all) << made;
  }
  EXPECT_EQ(files.replaceFile(file.string(), "[rect]\n"), "") << "an existing folder is fine";
  EXPECT_EQ(files.readFile(file.string()), "[rect]\n");
  // A link that names the file leads where it leads: no folder is made for its target.
  fs::create_symlink(dir_ / "elsewhere" / "Tollivane.ini", dir_ / "config" / "linked.ini");
  EXPECT_EQ(files.replaceFile((dir_ / "config" / "linked.ini").string(), "x"),
            "No such file or directory");
  EXPECT_FALSE(fs::exists(dir_ / "elsewhere"));
}

TEST_F(SettingsFolderOnDisk, AFolderThatCannotBeMadeIsTheSaveFailure) {
  std::ofstream(dir_ / "config") << "a file where the folder should be";
  PosixFiles files;
  EXPECT_EQ(files.replaceFile((dir_ / "config" / "tollivane" / "Tollivane.ini").string(), "x"),
            "Not a directory");
}

// Start-up names the file in the folder the rule chooses, saves go there, and the scenario
// runner shows it: the simulation keeps its settings where the real program would.
TEST_F(SettingsFolderOnDisk, StartUpAndSavesUseTheSettingsFolder) {
  fs::create_directories(dir_ / "share" / "applications");
  std::ofstream(dir_ / "share" / "applications" / "org.example.tollivane.desktop") << "\n";
  fs::create_directory(dir_ / "bin");
  frontend::sim::SimDesktop sim((dir_ / "bin").string());
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* out = ::open_memstream(&text, &size);
  ASSERT_NE(out, nullptr);
  {
    frontend::sim::ScenarioRunner runner(sim, out);
    for (const char* line :
         {"ini", "load", "print SettingsPath", "click mnuHotkeys", "click Command2", "ini"}) {
      ASSERT_TRUE(runner.execute(line)) << line;
    }
  }
  std::fclose(out);
  const std::string output(text, size);
  std::free(text);
  const fs::path expected = dir_ / "config" / "tollivane" / "Tollivane.ini";
  EXPECT_EQ(output, "ini absent\nSettingsPath=\"" + expected.string() +
                        "\"\n[main]\r\nhotkey1=116\r\nhotshift1=0\r\nhotkey2=117\r\n"
                        "hotshift2=0\r\nhotkey3=118\r\nhotshift3=0\r\n");
  EXPECT_TRUE(fs::exists(expected));
  EXPECT_FALSE(fs::exists(dir_ / "bin" / "Tollivane.ini"));
}

}  // namespace
}  // namespace tollivane::platform::posix
