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
// WM_TIMER's id of the one system timer behind the window's timers.
constexpr UINT_PTR kTimerId = 1;

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
  const ui::WindowLayout& layout = ui::mainWindowLayout();
  const LayoutWindows& c = TopWindow::controls();
  controls_ = std::make_unique<Win32WindowControls>(c);
  systemTimer_ = std::make_unique<Win32SystemTimer>(handle(), kTimerId);
  timers_ = std::make_unique<app::WindowTimers>(layout, *systemTimer_);
  for (const ui::ControlLayout& control : layout.controls) {
    if (control.kind != ui::ControlKind::HotKeyCapture) continue;
    makeCaptureBox(c.window(control.name),
                   [this, name = control.name](std::int16_t key, std::int16_t shift) {
                     events().keyDown(name, key, shift);
                   });
  }
  for (const ui::MenuEntryLayout& entry : layout.menu) {
    if (entry.caption == "-") continue;
    controls_->addMenuEntry(entry.name,
                            std::make_unique<Win32MenuEntry>(popup_, menuId(entry.name)));
  }
  wiring_ = std::make_unique<app::MainWindowWiring>(platform, shell_, *controls_, *timers_);
  shell_.setMainWindow(handle(), events());
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
  events().fire(app::kMainWindow, app::Event::Load);
  return !shell_.ended();
}

void MainWindow::show(int how) {
  showCentred(how);
  events().fire(app::kMainWindow, app::Event::Shown);
}

void MainWindow::onClick(std::string_view control) { events().fire(control, app::Event::Click); }

LRESULT MainWindow::onMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_TIMER:
      if (w == kTimerId) systemTimer_->wake();
      return 0;
    case WM_COMMAND:
      if (l == 0 && HIWORD(w) == 0) {
        const auto& menu = ui::mainWindowLayout().menu;
        const UINT index = LOWORD(w) - kFirstMenuId;
        if (index < menu.size()) events().fire(menu[index].name, app::Event::Click);
        return 0;
      }
      break;
    case WM_CLOSE:
      // Every close request is honoured; Form1 ends the program from here.
      events().fire(app::kMainWindow, app::Event::QueryUnload);
      return 0;
    default:
      break;
  }
  return TopWindow::onMessage(message, w, l);
}

}  // namespace tollivane::frontend::win32
