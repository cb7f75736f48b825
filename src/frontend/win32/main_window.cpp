#include "frontend/win32/main_window.hpp"

#include <algorithm>
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
    if (entry.linuxOnly) continue;
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
  controls_ = std::make_unique<Win32WindowControls>(TopWindow::controls());
  systemTimer_ = std::make_unique<Win32SystemTimer>(handle(), kTimerId);
  timers_ = std::make_unique<app::WindowTimers>(layout, *systemTimer_);
  for (const ui::MenuEntryLayout& entry : layout.menu) {
    if (entry.caption == "-") continue;
    controls_->addMenuEntry(entry.name,
                            std::make_unique<Win32MenuEntry>(popup_, menuId(entry.name)));
  }
  wiring_ = std::make_unique<app::MainWindowWiring>(platform, shell_, *controls_, *timers_);
  shell_.setMainWindow(handle(), events());
}

MainWindow::~MainWindow() {
  // A capture box that has the focus tells the wiring when it loses it: while the wiring lives.
  if (const HWND focused = GetFocus(); focused != nullptr && IsChild(handle(), focused)) {
    SetFocus(nullptr);
  }
}

UINT MainWindow::menuId(std::string_view name) const {
  const auto& menu = ui::mainWindowLayout().menu;
  for (std::size_t i = 0; i < menu.size(); ++i) {
    if (menu[i].name == name) return kFirstMenuId + static_cast<UINT>(i);
  }
  throw std::logic_error("no menu entry " + std::string(name));
}

void MainWindow::addLine(std::string_view text) {
  if (line(text) != nullptr) return;
  const std::wstring wide = platform::win32::widen(text);
  // The panels' font, from the first of them.
  const auto font =
      reinterpret_cast<HFONT>(SendMessageW(GetWindow(handle(), GW_CHILD), WM_GETFONT, 0, 0));
  RECT client;
  GetClientRect(handle(), &client);
  HDC dc = GetDC(handle());
  const HGDIOBJ old =
      SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  // Margins of half a line, so they follow the dpi with the font.
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const int margin = metrics.tmHeight / 2;
  RECT box{0, 0, client.right - 2 * margin, 0};
  DrawTextW(dc, wide.c_str(), -1, &box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(handle(), dc);
  const HWND added =
      CreateWindowExW(0, L"STATIC", wide.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                      margin, client.bottom + margin / 2, client.right - 2 * margin, box.bottom,
                      handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  if (font) SendMessageW(added, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  lines_.push_back({std::string(text), added, box.bottom + margin});
  RECT frame;
  GetWindowRect(handle(), &frame);
  SetWindowPos(handle(), nullptr, 0, 0, frame.right - frame.left,
               frame.bottom - frame.top + box.bottom + margin,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::removeLine(std::string_view text) {
  auto gone = std::find_if(lines_.begin(), lines_.end(),
                           [text](const Line& line) { return line.text == text; });
  if (gone == lines_.end()) return;
  const int height = gone->height;
  DestroyWindow(gone->window);
  for (auto below = lines_.erase(gone); below != lines_.end(); ++below) {
    RECT box;
    GetWindowRect(below->window, &box);
    MapWindowPoints(nullptr, handle(), reinterpret_cast<POINT*>(&box), 2);
    SetWindowPos(below->window, nullptr, box.left, box.top - height, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RECT frame;
  GetWindowRect(handle(), &frame);
  SetWindowPos(handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top - height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND MainWindow::line(std::string_view text) const {
  for (const Line& line : lines_) {
    if (line.text == text) return line.window;
  }
  return nullptr;
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
      if (w != kTimerId) return 0;
      if (onWake_) onWake_();
      systemTimer_->wake();
      return 0;
    case WM_COMMAND:
      if (l == 0 && HIWORD(w) == 0) {
        const auto& menu = ui::mainWindowLayout().menu;
        const UINT index = LOWORD(w) - kFirstMenuId;
        if (index < menu.size()) events().fire(menu[index].name, app::Event::Click);
        return 0;
      }
      break;
    case kCaptureKeyDown:
    case kCaptureFocus:
      if (const ui::ControlLayout* box =
              TopWindow::controls().control(GetDlgCtrlID(reinterpret_cast<HWND>(l)))) {
        if (message == kCaptureFocus) {
          events().focus(box->name, w != 0);
        } else {
          events().keyDown(box->name, static_cast<std::int16_t>(LOWORD(w)),
                           static_cast<std::int16_t>(HIWORD(w)));
        }
      }
      return 0;
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
