// Start-up and the save commands facing a settings file that is no file, a program folder
// that cannot be found, a file in UTF-16 and numbers too large for a double.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/form1.hpp"
#include "frontend/sim/sim_app.hpp"
#include "frontend/sim/sim_desktop.hpp"
#include "platform/posix/posix_files.hpp"
#include "platform/posix/whole_file_read.hpp"
#include "platform/sim/sim_files.hpp"

namespace tollivane::frontend::sim {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> prompts(const SimDialogs& dialogs) {
  std::vector<std::string> all;
  for (const auto& box : dialogs.messageBoxes()) all.push_back(box.prompt);
  return all;
}

TEST(HostileSettings, AFifoIsUnreadableAtStartUpAndNeverSavedTo) {
  SimDesktop sim;
  ASSERT_EQ(::mkfifo(sim.settingsFile().c_str(), 0600), 0);
  SimApp app(sim);
  app.load();
  // Built-in values, and one notice once the window shows.
  EXPECT_EQ(app.form().record().HotKeyCodes, (std::array<std::int16_t, 3>{116, 117, 118}));
  EXPECT_EQ(app.form().record().PosX, 25);
  EXPECT_EQ(prompts(sim.dialogs()),
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
  EXPECT_EQ(prompts(sim.dialogs()).at(1), refusal);
  EXPECT_EQ(prompts(sim.dialogs()).at(2), refusal);
  EXPECT_FALSE(sim.dialogs().ended());
  EXPECT_TRUE(fs::is_fifo(sim.settingsFile()));
  // A refused save changes nothing live either.
  EXPECT_EQ(app.form().record().HotKeyCodes[0], 116);
  EXPECT_EQ(app.form().record().PosX, 25);
}

TEST(HostileSettings, AnUnknownProgramFolderMeansBuiltInValuesAndNoSaves) {
  SimDesktop sim;
  // The current folder holds a settings file that must be neither read nor written.
  const auto here = fs::current_path();
  fs::current_path(sim.folder());
  std::ofstream("Tollivane.ini") << "[main]\r\nhotkey1=65\r\n";
  platform::sim::SimFiles lost("", std::make_unique<platform::posix::PosixFiles>(), '/');
  platform::Platform machine{sim.platform().keys, sim.platform().surface, lost,
                             sim.platform().runs, sim.platform().overlay, sim.platform().shortcuts,
                             sim.platform().pads};
  app::Form1 form(machine, sim.dialogs(), sim.mainWindowControls());
  form.Form_Load();
  form.Form_Shown();
  EXPECT_EQ(form.record().SettingsPath, "");
  EXPECT_EQ(form.record().HotKeyCodes[0], 116);
  ASSERT_EQ(sim.dialogs().messageBoxes().size(), 1u);
  EXPECT_EQ(sim.dialogs().messageBoxes()[0].prompt,
            "The program's folder cannot be found.\r\nThe built-in settings are used, and "
            "settings cannot be saved.");

  form.Command2_Click();
  ASSERT_EQ(sim.dialogs().messageBoxes().size(), 2u);
  EXPECT_EQ(sim.dialogs().messageBoxes()[1].prompt,
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
    SimDesktop sim;
    std::ofstream(sim.settingsFile(), std::ios::binary) << utf16(
        "; kept\r\n[main]\r\nhotkey1=65\r\nhotshift1=2\r\n[rect]\r\nX=300\r\nY=20\r\n", bigEndian);
    SimApp app(sim);
    app.load();
    EXPECT_EQ(app.form().record().HotKeyCodes[0], 65) << bigEndian;
    EXPECT_EQ(app.form().record().HotKeyShifts[0], 2) << bigEndian;
    EXPECT_EQ(app.form().record().PosX, 300) << bigEndian;
    EXPECT_TRUE(sim.dialogs().messageBoxes().empty()) << bigEndian;

    app.click("mnuPosition");
    app.setText("txtY", "40");
    app.click("Command4");
    EXPECT_EQ(platform::posix::readWholeFile(sim.settingsFile()),
              utf16("; kept\r\n[main]\r\nhotkey1=65\r\nhotshift1=2\r\n[rect]\r\nX=300\r\nY=40\r\n",
                    bigEndian));
  }
}

TEST(HostileSettings, AHugeNumberIsRefusedNotSavedAsZero) {
  SimDesktop sim;
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
    EXPECT_EQ(prompts(sim.dialogs()).back(), message) << text;
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
