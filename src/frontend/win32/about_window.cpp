#include "frontend/win32/about_window.hpp"

#include "frontend/win32/win32_shell.hpp"

namespace tollivane::frontend::win32 {

AboutWindow::AboutWindow(HWND owner, app::EventTable& events, Win32Shell& shell)
    : events_(events),
      shell_(shell),
      lookup_((create(ui::aboutWindowLayout(), owner, nullptr),
               std::make_unique<Win32WindowControls>(TopWindow::controls()))),
      controls_(app::bindAboutWindow(*lookup_)) {}

AboutWindow::~AboutWindow() = default;

void AboutWindow::show() {
  showCentred();
  if (const ui::ControlLayout* ok = ui::defaultButton(ui::aboutWindowLayout())) {
    SetFocus(TopWindow::controls().window(ok->name));
  }
}

void AboutWindow::close() {
  // The owner comes back before the window goes, or Windows would activate some other
  // program's window in between.
  if (HWND owner = GetWindow(handle(), GW_OWNER)) EnableWindow(owner, TRUE);
  destroy();
}

void AboutWindow::onClick(std::string_view control) { events_.fire(control, app::Event::Click); }

LRESULT AboutWindow::onMessage(UINT message, WPARAM w, LPARAM l) {
  // The title bar's close button: the window unloads without a click on OK.
  if (message == WM_CLOSE) {
    shell_.unloadAbout();
    return 0;
  }
  return TopWindow::onMessage(message, w, l);
}

}  // namespace tollivane::frontend::win32
