#include "frontend/sim/sim_dialogs.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "frontend/sim/sim_app.hpp"
#include "frontend/sim/sim_desktop.hpp"
#include "frontend/sim/sim_text.hpp"
#include "ui/about/about_text.hpp"

namespace tollivane::frontend::sim {
namespace {

class SimDialogsTest : public ::testing::Test {
 protected:
  SimDialogsTest() {
    sim.dialogs().onEvent = [this](std::string_view line) { events.emplace_back(line); };
  }
  SimDesktop sim;
  std::vector<std::string> events;
};

using Events = std::vector<std::string>;

TEST(SimText, QuotesAnyTextOntoOneLine) {
  const struct {
    const char* text;
    const char* quoted;
  } cases[] = {
      {"", R"("")"},
      {"00 : 00 : 01", R"("00 : 00 : 01")"},
      {"a\r\nb", R"("a\r\nb")"},
      {R"(C:\dir\"x")", R"("C:\\dir\\\"x\"")"},
      {"tab\tstays", "\"tab\tstays\""},
  };
  for (const auto& c : cases) EXPECT_EQ(quote(c.text), c.quoted);
}

TEST_F(SimDialogsTest, MessageBoxesAreRecordedAndReported) {
  sim.dialogs().messageBox("X must be\r\nbetween 0 and 640", app::MessageIcon::None,
                           app::kAppTitle);
  ASSERT_EQ(sim.dialogs().messageBoxes().size(), 1u);
  EXPECT_EQ(sim.dialogs().messageBoxes()[0].title, "Tollivane");
  EXPECT_EQ(events, Events{R"(msgbox "X must be\r\nbetween 0 and 640")"});
}

TEST_F(SimDialogsTest, AboutWindowLoadsFreshEachTime) {
  SimApp app(sim);
  app.load();
  events.clear();
  SimLabel& description = *sim.aboutWindow().label("lblDescription");
  sim.dialogs().showAboutModal();
  EXPECT_TRUE(sim.dialogs().aboutOpen());
  EXPECT_EQ(description.caption(), ui::aboutDescriptionText());
  description.setCaption("changed while open");
  sim.dialogs().unloadAbout();
  EXPECT_FALSE(sim.dialogs().aboutOpen());
  EXPECT_EQ(description.caption(), "");
  sim.dialogs().unloadAbout();  // nothing to close
  sim.dialogs().showAboutModal();
  EXPECT_EQ(description.caption(), ui::aboutDescriptionText());
  EXPECT_EQ(events, (Events{"about open", "about closed", "about open"}));
}

TEST_F(SimDialogsTest, EndStopsTheTimersOnce) {
  sim.timer1().setInterval(200);
  sim.timer1().setEnabled(true);
  int ticks = 0;
  sim.timer1().setOnTick([&] { ++ticks; });
  sim.dialogs().reportRuntimeError(6, "Overflow");
  sim.dialogs().endProgram();
  sim.dialogs().endProgram();
  sim.steering().advance(1000);
  EXPECT_EQ(ticks, 0);
  EXPECT_TRUE(sim.dialogs().ended());
  EXPECT_EQ(events, (Events{"error 6 Overflow", "end"}));
}

TEST(SimDesktopFolder, TemporaryFolderGoesAwayGivenFolderStays) {
  std::string temporary;
  {
    SimDesktop sim;
    temporary = sim.folder();
    EXPECT_TRUE(std::filesystem::is_directory(temporary));
    EXPECT_EQ(sim.platform().files.updateFile(
                  sim.settingsFile(), [](const auto&) { return std::optional<std::string>("x"); }),
              "");
  }
  EXPECT_FALSE(std::filesystem::exists(temporary));

  const std::string given = testing::TempDir() + "sim_desktop_given";
  std::filesystem::create_directories(given);
  {
    SimDesktop sim(given + "//");
    EXPECT_EQ(sim.folder(), given);
  }
  EXPECT_TRUE(std::filesystem::is_directory(given));
  std::filesystem::remove_all(given);

  SimDesktop root(std::string("/"));
  EXPECT_EQ(root.folder(), "/");
  EXPECT_EQ(root.settingsFile(), "/Tollivane.ini");
}

TEST(SimWindowTest, MainWindowStartsAsLaidOutAndResets) {
  SimDesktop sim;
  SimWindow& w = sim.mainWindow();
  EXPECT_FALSE(w.panel("Frame1")->visible());
  EXPECT_FALSE(w.panel("Frame2")->visible());
  EXPECT_EQ(w.menuEntry("mnuHotkeys")->caption(), "Edit hotkeys");
  EXPECT_FALSE(w.menuEntry("mnuHotkeys")->checked());
  EXPECT_EQ(w.textBox("txtX")->text(), "");
  EXPECT_EQ(w.textBox("qvHotKey1")->text(), "");
  EXPECT_TRUE(w.hasButton("Command4"));
  EXPECT_EQ(w.panel("txtX"), nullptr);
  EXPECT_EQ(w.textBox("Frame1"), nullptr);

  const app::MainWindowControls& c = sim.mainWindowControls();
  c.Frame1.setVisible(true);
  c.mnuHotkeys.setCaption("Hide hotkeys");
  c.mnuHotkeys.setChecked(true);
  c.txtX.setText("25");
  EXPECT_TRUE(w.panel("Frame1")->visible());
  EXPECT_EQ(w.textBox("txtX")->text(), "25");
  w.reset();
  EXPECT_FALSE(w.panel("Frame1")->visible());
  EXPECT_EQ(w.menuEntry("mnuHotkeys")->caption(), "Edit hotkeys");
  EXPECT_FALSE(w.menuEntry("mnuHotkeys")->checked());
  EXPECT_EQ(w.textBox("txtX")->text(), "");
}

}  // namespace
}  // namespace tollivane::frontend::sim
