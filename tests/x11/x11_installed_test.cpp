// The installed program (TOLLIVANE_INSTALLED, for example /usr/bin/tollivane) on a private
// Xvfb: a key captured and saved through its window lands in the user's configuration folder,
// which the first save makes, and nothing is written beside the program. Run by
// tools/test-package.sh once the package is installed, not by CTest.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "app_process.hpp"
#include "test_client.hpp"
#include "ui/layout.hpp"
#include "wait_until.hpp"
#include "xvfb.hpp"

namespace tollivane::x11test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A point of a main window control, from the window tables, in root coordinates.
std::pair<int, int> centreOf(const Area& window, std::string_view name) {
  const ui::WindowLayout& layout = ui::mainWindowLayout();
  const ui::ControlLayout* control = ui::findControl(layout, name);
  const ui::ControlLayout* panel = ui::findControl(layout, control->parent);
  const double dpi = 96.0 * window.width / ui::twipsToPixels(layout.clientWidth);
  const int menuBar = window.height - ui::twipsToPixels(layout.clientHeight, dpi);
  const int x = panel->left + control->left + control->width / 2;
  const int y = panel->top + control->top + control->height / 2;
  return {window.x + ui::twipsToPixels(x, dpi), window.y + menuBar + ui::twipsToPixels(y, dpi)};
}

TEST(InstalledTollivane, SavesKeysIntoTheUsersConfigurationFolder) {
  const char* installed = std::getenv("TOLLIVANE_INSTALLED");
  ASSERT_TRUE(installed != nullptr && *installed != '\0') << "set TOLLIVANE_INSTALLED";
  const fs::path program = installed;
  ASSERT_FALSE(fs::exists(program.parent_path() / "Tollivane.ini"));

  Xvfb server;
  TestClient client{server.display()};
  AppProcess app{program, server.display(), AppProcess::InPlace{}};
  Window window = 0;
  std::optional<Area> area;
  ASSERT_TRUE(waitUntil(kPatience, [&] {
    area = findWindowTitled(client, "Tollivane", &window);
    return area.has_value() || !app.running();
  }));
  ASSERT_TRUE(area) << app.output();
  const fs::path folder = app.folder() / ".config" / "tollivane";
  EXPECT_FALSE(fs::exists(folder)) << "nothing is written before a save";

  const auto press = [&](unsigned long keysym) { client.tap(keysym, 40ms); };
  const auto [captureX, captureY] = centreOf(*area, "qvHotKey1");
  const auto hotkeyPanelShown = [&, x = captureX, y = captureY] {
    return client.pixels(client.root(), {x, y, 1, 1}).front() == 0xC0C0C0;  // the box's grey
  };
  // Each step waits for what it shows, and is tried again if a busy machine lost it.
  for (int attempt = 0; attempt < 3 && !hotkeyPanelShown(); ++attempt) {
    client.focus(window);
    client.click(area->x + 16, area->y + 8);  // the "Menu" title
    std::this_thread::sleep_for(300ms);
    press(XK_Down);
    press(XK_Return);  // "Edit hotkeys"
    waitUntil(2s, hotkeyPanelShown);
  }
  ASSERT_TRUE(hotkeyPanelShown());

  const fs::path settings = folder / "Tollivane.ini";
  const auto [saveX, saveY] = centreOf(*area, "Command2");
  for (int attempt = 0; attempt < 3 && !fs::exists(settings); ++attempt) {
    client.click(captureX, captureY);
    std::this_thread::sleep_for(200ms);
    press(XK_F9);
    std::this_thread::sleep_for(200ms);
    client.click(saveX, saveY);
    waitUntil(2s, [&] { return fs::exists(settings); });
  }
  EXPECT_EQ(readAll(settings),
            "[main]\r\nhotkey1=120\r\nhotshift1=0\r\nhotkey2=117\r\nhotshift2=0\r\n"
            "hotkey3=118\r\nhotshift3=0\r\n")
      << app.output();
  struct stat info {};
  ASSERT_EQ(::stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u) << "the configuration folder is the user's alone";
  EXPECT_FALSE(fs::exists(program.parent_path() / "Tollivane.ini"));
  EXPECT_TRUE(app.running()) << app.output();
}

}  // namespace
}  // namespace tollivane::x11test
