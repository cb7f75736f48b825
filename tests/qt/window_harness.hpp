// A main window over a private settings folder, with message boxes recorded instead of
// shown, the program's end recorded instead of done, and the key state counting its queries.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QTemporaryDir>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "frontend/qt/main_window.hpp"
#include "frontend/qt/qt_shell.hpp"
#include "platform/null_backends.hpp"
#include "platform/platform.hpp"
#include "platform/posix/posix_files.hpp"

namespace tollivane::testing {

// Every Timer1 tick asks for the state of the bound keys: counting the queries counts ticks.
class CountingKeys final : public platform::KeyState {
 public:
  std::int16_t GetAsyncKeyState(std::int16_t) override {
    ++queries;
    return 0;
  }
  int queries = 0;
};

struct ShownBox {
  QString title;
  QString text;
  QMessageBox::Icon icon;
  Qt::WindowModality modality;
  QMessageBox::StandardButtons buttons;
};

class WindowHarness {
 public:
  // `iniText`: the settings file to start from; none when empty.
  explicit WindowHarness(const std::string& iniText = {}) {
    if (!iniText.empty()) writeIni(iniText);
    shell.setMessageBoxPresenter([this](QMessageBox& box) {
      shown.push_back(
          {box.windowTitle(), box.text(), box.icon(), box.windowModality(), box.standardButtons()});
    });
    shell.setEndAction([this](int code) { endedWith = code; });
    window = std::make_unique<frontend::qt::MainWindow>(machine, shell, 96.0);
  }

  std::string iniPath() const { return folder.path().toStdString() + "/Tollivane.ini"; }
  void writeIni(const std::string& text) const { std::ofstream(iniPath()) << text; }
  std::string readIni() const {
    std::ifstream in(iniPath());
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  QTemporaryDir folder;
  platform::posix::PosixFiles files{folder.path().toStdString()};
  CountingKeys keys;
  platform::NullSurface surface;
  platform::NullRunObserver runs;
  platform::ChosenSurface overlay{surface, nullptr};
  platform::NullDesktopShortcuts shortcuts;
  platform::NullPadState pads;
  platform::Platform machine{keys, surface, files, runs, overlay, shortcuts, pads};
  frontend::qt::QtShell shell;
  std::vector<ShownBox> shown;
  int endedWith = -1;
  std::unique_ptr<frontend::qt::MainWindow> window;
};

}  // namespace tollivane::testing
