// The main window: the menu, the banner, the two editing panels and the two timers, all
// handed to Form1, which decides everything; its events go through the one event table.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/event_table.hpp"
#include "app/form1.hpp"
#include "app/main_window_wiring.hpp"
#include "app/window_timers.hpp"
#include "frontend/win32/top_window.hpp"
#include "frontend/win32/win32_system_timer.hpp"
#include "frontend/win32/win32_window_controls.hpp"
#include "platform/platform.hpp"

namespace tollivane::frontend::win32 {

class Win32Shell;

class MainWindow final : public TopWindow {
 public:
  MainWindow(platform::Platform& platform, Win32Shell& shell);
  ~MainWindow() override;

  // Start-up, before the window shows; false when the program has ended during it.
  bool load();
  // Shows the window centred on the screen and tells Form1 that it is up.
  void show(int how = SW_SHOW);

  app::Form1& form() { return wiring_->form(); }
  app::EventTable& events() { return wiring_->events(); }
  app::GroupTimer& timer(std::string_view name) { return timers_->timer(name); }
  HMENU menu() const { return popup_; }
  // The menu item id of a menu entry of the table.
  UINT menuId(std::string_view name) const;
  // A line of its own below the panels and the lines before it, once per text; the window
  // grows by it, so the panels keep their place and size.
  void addLine(std::string_view text);
  // Takes the line away, if it is there: the lines below move up and the window shrinks by it.
  void removeLine(std::string_view text);
  // The line's window, or none.
  HWND line(std::string_view text) const;
  // Called at each wake of the window's timers, before the ticks due: for checks of the
  // adapters that come round often enough with the poll and need no timer of their own.
  void onWake(std::function<void()> each) { onWake_ = std::move(each); }

 private:
  void onClick(std::string_view control) override;
  LRESULT onMessage(UINT message, WPARAM w, LPARAM l) override;

  Win32Shell& shell_;
  HMENU popup_ = nullptr;
  struct Line {
    std::string text;
    HWND window;
    int height;  // with its margins
  };
  std::vector<Line> lines_;
  std::function<void()> onWake_;
  std::unique_ptr<Win32SystemTimer> systemTimer_;
  std::unique_ptr<app::WindowTimers> timers_;
  std::unique_ptr<Win32WindowControls> controls_;
  std::unique_ptr<app::MainWindowWiring> wiring_;
};

}  // namespace tollivane::frontend::win32
