#include "frontend/win32/win32_shell.hpp"

#include "app/runtime_error_text.hpp"
#include "frontend/win32/about_window.hpp"
#include "frontend/win32/standard_error.hpp"
#include "platform/win32/wide_text.hpp"

namespace tollivane::frontend::win32 {

using platform::win32::widen;

namespace {

void sayInOneLine(std::string_view text) {
  std::string line = "tollivane: ";
  bool space = true;
  for (const char c : text) {
    const bool blank = c == ' ' || c == '\r' || c == '\n' || c == '\t';
    if (!blank || !space) line += blank ? ' ' : c;
    space = blank;
  }
  if (!line.empty() && line.back() == ' ') line.pop_back();
  sayOnStandardError(line + "\r\n");
}

}  // namespace

Win32Shell::Win32Shell() : end_([](int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }) {}

Win32Shell::~Win32Shell() = default;

void Win32Shell::messageBox(std::string_view prompt, app::MessageIcon icon,
                            std::string_view title) {
  if (boxesOnStandardError_) return sayInOneLine(prompt);
  const UINT style =
      MB_OK | MB_APPLMODAL | (icon == app::MessageIcon::Information ? MB_ICONINFORMATION : 0);
  MessageBoxW(mainWindow_, widen(prompt).c_str(),
              widen(title.empty() ? app::kAppTitle : title).c_str(), style);
}

void Win32Shell::showAboutModal() {
  if (about_ != nullptr || events_ == nullptr || mainWindow_ == nullptr) return;
  AboutWindow about(mainWindow_, *events_, *this);
  about_ = &about;
  events_->fire(app::kAboutWindow, app::Event::Load);
  if (!ended()) {
    // A nested message loop, as a modal dialog runs: the main window's timers go on ticking.
    EnableWindow(mainWindow_, FALSE);
    about.show();
    MSG message;
    while (about.open() && !ended() && GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (!IsDialogMessageW(about.handle(), &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    EnableWindow(mainWindow_, TRUE);
    SetActiveWindow(mainWindow_);
  }
  about_ = nullptr;
}

const app::AboutWindowControls* Win32Shell::aboutControls() const {
  return about_ != nullptr ? &about_->controls() : nullptr;
}

void Win32Shell::unloadAbout() {
  if (about_ != nullptr) about_->close();
}

void Win32Shell::reportRuntimeError(int number, std::string_view description) {
  exitCode_ = 1;
  if (boxesOnStandardError_) return sayInOneLine(app::runtimeErrorText(number, description));
  MessageBoxW(mainWindow_, widen(app::runtimeErrorText(number, description)).c_str(),
              widen(app::kAppTitle).c_str(), MB_OK | MB_ICONERROR | MB_APPLMODAL);
}

void Win32Shell::endProgram() {
  if (ended_) return;
  ended_ = true;
  end_(exitCode_);
}

}  // namespace tollivane::frontend::win32
