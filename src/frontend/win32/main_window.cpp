#include "frontend/win32/main_window.hpp"

#include <stdexcept>
#include <string>

#include "frontend/win32/capture_box.hpp"
#include "frontend/win32/resources.hpp"
#include "frontend/win32/win32_shell.hpp"

namespace tollivane::frontend::win32 {
namespace {

constexpr UINT kFirstMenuId = TOLLIVANE_FIRST_MENU_ID;
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kTimer2 = 2;
constexpr std::string_view kCaptureNames[] = {"qvHotKey1", "qvHotKey2", "qvHotKey3"};

// The menu bar from the resources, where Windows tools expect to find it.
HMENU loadMenu(HMENU& popup) {
  HMENU bar = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(TOLLIVANE_MENU));
  popup = GetSubMenu(bar, 0);
  return bar;
}

}  // namespace

MainWindow::MainWindow(platform::Platform& platform, Win32Shell& shell) : shell_(shell) {
  create(ui::mainWindowLayout(), nullptr, loadMenu(popup_));
  const LayoutWindows& c = TopWindow::controls();
  timer1_ = std::make_unique<Win32Timer>(handle(), kTimer1,
                                         [this] { events_->fire("Timer1", app::Event::Timer); });
  timer2_ = std::make_unique<Win32Timer>(handle(), kTimer2,
                                         [this] { events_->fire("Timer2", app::Event::Timer); });
  for (std::size_t i = 0; i < 3; ++i) {
    HWND box = c.window(kCaptureNames[i]);
    boxes_[i] = std::make_unique<Win32TextBox>(box);
    makeCaptureBox(box, [this, name = kCaptureNames[i]](std::int16_t key, std::int16_t shift) {
      events_->keyDown(name, key, shift);
    });
  }
  boxes_[3] = std::make_unique<Win32TextBox>(c.window("txtX"));
  boxes_[4] = std::make_unique<Win32TextBox>(c.window("txtY"));
  frame1_ = std::make_unique<Win32Panel>(c.panelContents("Frame1"));
  frame2_ = std::make_unique<Win32Panel>(c.panelContents("Frame2"));
  mnuHotkeys_ = std::make_unique<Win32MenuEntry>(popup_, menuId("mnuHotkeys"));
  mnuPosition_ = std::make_unique<Win32MenuEntry>(popup_, menuId("mnuPosition"));
  mnuOverlayWindow_ = std::make_unique<Win32MenuEntry>(popup_, menuId("mnuOverlayWindow"));
  form_ = std::make_unique<app::Form1>(
      platform, shell_,
      app::MainWindowControls{*timer1_, *timer2_, *boxes_[0], *boxes_[1], *boxes_[2], *boxes_[3],
                              *boxes_[4], *frame1_, *frame2_, *mnuHotkeys_, *mnuPosition_,
                              *mnuOverlayWindow_});
  events_ = std::make_unique<app::EventTable>(*form_, shell_);
  shell_.setMainWindow(handle(), *events_);
}

MainWindow::~MainWindow() = default;

UINT MainWindow::menuId(std::string_view name) const {
  const auto& menu = ui::mainWindowLayout().menu;
  for (std::size_t i = 0; i < menu.size(); ++i) {
    if (menu[i].name == name) return kFirstMenuId + static_cast<UINT>(i);
  }
  throw std::logic_error("no menu entry " + std::string(name));
}

bool MainWindow::load() {
  events_->fire("Form", app::Event::Load);
  return !shell_.ended();
}

void MainWindow::show(int how) {
  showCentred(how);
  events_->fire("Form", app::Event::Shown);
}

void MainWindow::onClick(std::string_view control) { events_->fire(control, app::Event::Click); }

LRESULT MainWindow::onMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_TIMER:
      if (w == kTimer1) timer1_->wake();
      if (w == kTimer2) timer2_->wake();
      return 0;
    case WM_COMMAND:
      if (l == 0 && HIWORD(w) == 0) {
        const auto& menu = ui::mainWindowLayout().menu;
        const UINT index = LOWORD(w) - kFirstMenuId;
        if (index < menu.size()) events_->fire(menu[index].name, app::Event::Click);
        return 0;
      }
      break;
    case WM_CLOSE:
      // Every close request is honoured; Form1 ends the program from here.
      events_->fire("Form", app::Event::QueryUnload);
      return 0;
    default:
      break;
  }
  return TopWindow::onMessage(message, w, l);
}

}  // namespace tollivane::frontend::win32
