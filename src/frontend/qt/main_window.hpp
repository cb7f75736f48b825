// The main window: the menu, the banner, the two editing panels and the two timers, all
// handed to Form1, which decides everything.
#pragma once

#include <QMainWindow>
#include <array>
#include <memory>

#include "app/event_table.hpp"
#include "app/form1.hpp"
#include "frontend/qt/hotkey_capture_widget.hpp"
#include "frontend/qt/layout_builder.hpp"
#include "frontend/qt/qt_controls.hpp"
#include "frontend/qt/qt_timer.hpp"
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
  // Shows the window centred on the screen and tells Form1 that it is up.
  void showCentred();

  app::Form1& form() { return *form_; }
  app::EventTable& events() { return *events_; }
  const LayoutWidgets& widgets() const { return *widgets_; }
  QMenu& menu() const { return *menu_; }
  QAction& action(std::string_view name) const;
  HotKeyCaptureWidget& capture(int number) const;  // 1..3
  QtTimer& timer1() { return *timer1_; }
  QtTimer& timer2() { return *timer2_; }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void buildMenu();
  void connectEvents();

  QtShell& shell_;
  QWidget* client_;
  std::unique_ptr<LayoutWidgets> widgets_;
  QMenu* menu_ = nullptr;
  std::array<QAction*, 7> actions_{};
  TimerGroup timers_;  // Timer1 made first: at a shared phase point it ticks first
  std::unique_ptr<QtTimer> timer1_, timer2_;
  std::array<std::unique_ptr<QtTextBox>, 5> boxes_;  // qvHotKey1..3, txtX, txtY
  std::unique_ptr<QtPanel> frame1_, frame2_;
  std::unique_ptr<QtMenuEntry> mnuHotkeys_, mnuPosition_, mnuOverlayWindow_;
  std::unique_ptr<app::Form1> form_;
  std::unique_ptr<app::EventTable> events_;
};

}  // namespace tollivane::frontend::qt
