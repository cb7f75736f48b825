// A save whose file cannot be written says so and changes nothing live; only the overlay
// window's switch, which the user sees at once, holds for the rest of the run.
#include <gtest/gtest.h>

#include "frontend/sim/sim_app.hpp"
#include "frontend/sim/sim_desktop.hpp"

namespace tollivane::frontend::sim {
namespace {

struct SaveFailure : ::testing::Test {
  SimDesktop sim;
  SimApp app{sim};
  void SetUp() override {
    app.load();
    sim.steering().failSavesWith("No space left on device");
  }
  std::string lastMessage() { return sim.dialogs().messageBoxes().back().prompt; }
};

TEST_F(SaveFailure, SaveKeysReportsTheFileAndKeepsThePollArrays) {
  app.click("mnuHotkeys");
  app.keyDown("qvHotKey1", 65, 2);
  app.click("Command2");
  ASSERT_EQ(sim.dialogs().messageBoxes().size(), 1u);
  EXPECT_EQ(lastMessage(),
            "Cannot save settings to " + sim.settingsFile() + ": No space left on device");
  EXPECT_EQ(app.form().record().HotKeyCodes[0], 116);
  EXPECT_EQ(app.form().record().HotKeyShifts[0], 0);
  EXPECT_FALSE(sim.dialogs().ended());
}

TEST_F(SaveFailure, SavePositionReportsTheFileAndKeepsTheOverlay) {
  app.click("mnuPosition");
  app.setText("txtX", "300");
  app.setText("txtY", "100");
  app.click("Command4");
  ASSERT_EQ(sim.dialogs().messageBoxes().size(), 1u);
  EXPECT_NE(lastMessage().find(sim.settingsFile()), std::string::npos);
  EXPECT_EQ(app.form().record().PosX, 25);
  EXPECT_EQ(app.form().record().OverlayRect, (platform::Rect{25, 315, 100, 329}));
}

TEST_F(SaveFailure, OverlayWindowSwitchesButSaysItWasNotSaved) {
  app.click("mnuOverlayWindow");
  ASSERT_EQ(sim.dialogs().messageBoxes().size(), 1u);
  EXPECT_NE(lastMessage().find(sim.settingsFile()), std::string::npos);
  EXPECT_TRUE(app.form().record().OverlayWindow);
  EXPECT_TRUE(sim.steering().chosen().ownWindowChosen());
  EXPECT_TRUE(sim.mainWindow().menuEntry("mnuOverlayWindow")->checked());
}

}  // namespace
}  // namespace tollivane::frontend::sim
