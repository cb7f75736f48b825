// Start-up and the save commands facing a settings file that is no file, a program folder
// that cannot be found, a file in UTF-16 and numbers too large for a double.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/form1.hpp"
#include "frontend/sim/sim_app.hpp"
#include "frontend/sim/sim_platform.hpp"
#include "platform/posix/posix_files.hpp"

namespace tollivane::frontend::sim {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> prompts(const SimShell& shell) {
  std::vector<std::string> all;
  for (const auto& box : shell.messageBoxes()) all.push_back(box.prompt);
  return all;
}

TEST(HostileSettings, AFifoIsUnreadableAtStartUpAndNeverSavedTo) {
  SimPlatform sim;
  ASSERT_EQ(::mkfifo(sim.settingsFile().c_str(), 0600), 0);
  SimApp app(sim);
  app.load();
  // Built-in values, and one notice once the window shows.
  EXPECT_EQ(app.form().record().HotKeyCodes, (std::array<std::int16_t, 3>{116, 117, 118}));
  EXPECT_EQ(app.form().record().PosX, 25);
  EXPECT_EQ(prompts(sim.shell()),
            std::vector<std::string>{sim.settingsFile() +
                                     " could not be read.\r\nThe built-in settings are used."});

  app.click("mnuHotkeys");
  app.keyDown("qvHotKey1", 65, 2);
  app.click("Command2");
  app.click("mnuPosition");
  app.setText("txtX", "300");
  app.click("Command4");
  const std::string refusal =
      "Cannot save settings to " + sim.settingsFile() + ": is a FIFO, not a regular file";
  EXPECT_EQ(prompts(sim.shell()).at(1), refusal);
  EXPECT_EQ(prompts(sim.shell()).at(2), refusal);
  EXPECT_FALSE(sim.shell().ended());
  EXPECT_TRUE(fs::is_fifo(sim.settingsFile()));
  // A refused save changes nothing live either.
  EXPECT_EQ(app.form().record().HotKeyCodes[0], 116);
  EXPECT_EQ(app.form().record().PosX, 25);
}

TEST(HostileSettings, AnUnknownProgramFolderMeansBuiltInValuesAndNoSaves) {
  SimPlatform sim;
  // The current folder holds a settings file that must be neither read nor written.
  const auto here = fs::current_path();
  fs::current_path(sim.folder());
  std::ofstream("Tollivane.ini") << "[main]\r\nhotkey1=65\r\n";
  SimShell lost("", sim.clock(), sim.aboutWindow());
  platform::Platform machine{sim.keyboard(), sim.surface(), lost};
  app::Form1 form(machine, lost, sim.mainWindowControls());
  form.Form_Load();
  form.Form_Shown();
  EXPECT_EQ(form.record().SettingsPath, "");
  EXPECT_EQ(form.record().HotKeyCodes[0], 116);
  ASSERT_EQ(lost.messageBoxes().size(), 1u);
  EXPECT_EQ(lost.messageBoxes()[0].prompt,
            "The program's folder cannot be found.\r\nThe built-in settings are used, and "
            "settings cannot be saved.");

  form.Command2_Click();
  ASSERT_EQ(lost.messageBoxes().size(), 2u);
  EXPECT_EQ(lost.messageBoxes()[1].prompt,
            "Cannot save settings: the program's folder cannot be found");
  fs::current_path(here);
  EXPECT_EQ(platform::posix::readWholeFile(sim.folder() + "/Tollivane.ini"),
            "[main]\r\nhotkey1=65\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(sim.folder()), fs::directory_iterator()), 1);
}

std::string utf16(std::string_view ascii, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char c : ascii) {
    bytes += bigEndian ? '\0' : c;
    bytes += bigEndian ? c : '\0';
  }
  return bytes;
}

TEST(HostileSettings, UnicodeFilesAreReadAndSavedInTheirOwnEncoding) {
  for (const bool bigEndian : {false, true}) {
    SimPlatform sim;
    std::ofstream(sim.settingsFile(), std::ios::binary) << utf16(
        "; kept\r\n[main]\r\nhotkey1=65\r\nhotshift1=2\r\n[rect]\r\nX=300\r\nY=20\r\n", bigEndian);
    SimApp app(sim);
    app.load();
    EXPECT_EQ(app.form().record().HotKeyCodes[0], 65) << bigEndian;
    EXPECT_EQ(app.form().record().HotKeyShifts[0], 2) << bigEndian;
    EXPECT_EQ(app.form().record().PosX, 300) << bigEndian;
    EXPECT_TRUE(sim.shell().messageBoxes().empty()) << bigEndian;

    app.click("mnuPosition");
    app.setText("txtY", "40");
    app.click("Command4");
    EXPECT_EQ(platform::posix::readWholeFile(sim.settingsFile()),
              utf16("; kept\r\n[main]\r\nhotkey1=65\r\nhotshift1=2\r\n[rect]\r\nX=300\r\nY=40\r\n",
                    bigEndian));
  }
}

TEST(HostileSettings, AHugeNumberIsRefusedNotSavedAsZero) {
  SimPlatform sim;
  SimApp app(sim);
  app.load();
  app.click("mnuPosition");
  const std::pair<const char*, const char*> cases[] = {
      {"10e99999999999999999999", "X = {0; 640}\r\nNot saved."},
      {"-1e99999999999999999999", "X = {0; 640}\r\nNot saved."},
  };
  for (const auto& [text, message] : cases) {
    app.setText("txtX", text);
    app.click("Command4");
    EXPECT_EQ(prompts(sim.shell()).back(), message) << text;
  }
  EXPECT_FALSE(fs::exists(sim.settingsFile()));
  // A tiny one is 0, and 0 is in range.
  app.setText("txtX", "0.5e-99999999999999999999");
  app.setText("txtY", "7");
  app.click("Command4");
  EXPECT_EQ(app.form().record().PosX, 0);
  EXPECT_EQ(app.form().record().PosY, 7);
}

}  // namespace
}  // namespace tollivane::frontend::sim
