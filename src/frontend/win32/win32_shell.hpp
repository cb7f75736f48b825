// The windows' surroundings on Windows: message boxes owned by the main window, the About
// window modal to it, the critical run-time error box and the program's end.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "app/event_table.hpp"
#include "app/window_controls.hpp"

namespace tollivane::frontend::win32 {

class AboutWindow;

class Win32Shell final : public app::WindowShell {
 public:
  // Ends the process with the exit code; ExitProcess by default.
  using EndAction = std::function<void(int exitCode)>;

  Win32Shell();
  ~Win32Shell() override;

  void setMainWindow(HWND window, app::EventTable& events) {
    mainWindow_ = window;
    events_ = &events;
  }
  void setEndAction(EndAction end) { end_ = std::move(end); }
  // Instead of a message box, one line on standard error: nothing waits for an answer.
  void sayBoxesOnStandardError(bool on) { boxesOnStandardError_ = on; }
  // The About window while it is open.
  AboutWindow* aboutWindow() const { return about_; }

  void messageBox(std::string_view prompt, app::MessageIcon icon, std::string_view title) override;
  void showAboutModal() override;
  const app::AboutWindowControls* aboutControls() const override;
  void unloadAbout() override;
  void reportRuntimeError(int number, std::string_view description) override;
  void endProgram() override;
  bool ended() const override { return ended_; }
  // The Windows key state sees every key but an elevated window's, and says so itself.
  void hotkeysInUse(const std::array<std::int16_t, 3>&,
                    const std::array<std::int16_t, 3>&) override {}

 private:
  HWND mainWindow_ = nullptr;
  app::EventTable* events_ = nullptr;
  EndAction end_;
  AboutWindow* about_ = nullptr;
  bool ended_ = false;
  bool boxesOnStandardError_ = false;
  int exitCode_ = 0;
};

}  // namespace tollivane::frontend::win32
