#include "frontend/win32/main_window.hpp"

#include <stdexcept>
#include <string>

#include "frontend/win32/capture_box.hpp"
#include "frontend/win32/win32_shell.hpp"
#include "platform/win32/wide_text.hpp"

namespace tollivane::frontend::win32 {
namespace {

// The menu's items are numbered from here in the order of the table.
constexpr UINT kFirstMenuId = 1000;
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kTimer2 = 2;
constexpr std::string_view kCaptureNames[] = {"qvHotKey1", "qvHotKey2", "qvHotKey3"};

// The menu bar with its one menu, from the table.
HMENU buildMenu(const ui::WindowLayout& layout, HMENU& popup) {
  using platform::win32::widen;
  popup = CreatePopupMenu();
  for (std::size_t i = 0; i < layout.menu.size(); ++i) {
    const ui::MenuEntryLayout& entry = layout.menu[i];
    if (entry.caption == "-") {
      AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(popup, MF_STRING, kFirstMenuId + i, widen(entry.caption).c_str());
    }
  }
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), widen(layout.menuCaption).c_str());
  return bar;
}

}  // namespace

MainWindow::MainWindow(platform::Platform& platform, Win32Shell& shell) : shell_(shell) {
  create(ui::mainWindowLayout(), nullptr, buildMenu(ui::mainWindowLayout(), popup_));
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
