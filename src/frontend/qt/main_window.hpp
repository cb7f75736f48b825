// The main window: the menu, the banner, the two editing panels and the two timers, all
// handed to Form1, which decides everything.
#pragma once

#include <QMainWindow>
#include <memory>
#include <vector>

#include "app/event_table.hpp"
#include "app/form1.hpp"
#include "app/main_window_wiring.hpp"
#include "app/window_timers.hpp"
#include "frontend/qt/hotkey_capture_widget.hpp"
#include "frontend/qt/layout_builder.hpp"
#include "frontend/qt/qt_controls.hpp"
#include "frontend/qt/qt_system_timer.hpp"
#include "frontend/qt/qt_window_controls.hpp"
#include "platform/platform.hpp"

class QAction;
class QMenu;

namespace tollivane::frontend::qt {

class QtShell;

class MainWindow final : public QMainWindow {
  Q_OBJECT
 public:
  // `dpi` 0: the screen's logical dpi.
  MainWindow(platform::Platform& platform, QtShell& shell, double dpi = 0);
  ~MainWindow() override;

  // Start-up, before the window shows; false when the program has ended during it.
  bool load();
  // Shows the window centred on the screen (or minimized there) and tells Form1 that it is up.
  void showCentred(bool minimized = false);
  // Tells Form1 that it is up, the window left unmapped: in gamescope any plain window may
  // take the screen from the game.
  void startUnshown();

  app::Form1& form() { return wiring_->form(); }
  app::EventTable& events() { return wiring_->events(); }
  const LayoutWidgets& widgets() const { return *widgets_; }
  QMenu& menu() const { return *menu_; }
  QAction& action(std::string_view name) const;
  HotKeyCaptureWidget& capture(std::string_view name) const;
  app::GroupTimer& timer(std::string_view name) { return timers_.timer(name); }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void buildMenu();
  void connectEvents();

  QtShell& shell_;
  QWidget* client_;
  std::unique_ptr<LayoutWidgets> widgets_;
  QMenu* menu_ = nullptr;
  std::vector<QAction*> actions_;
  QtSystemTimer systemTimer_;
  app::WindowTimers timers_;
  std::unique_ptr<QtWindowControls> controls_;
  std::unique_ptr<app::MainWindowWiring> wiring_;
};

}  // namespace tollivane::frontend::qt
