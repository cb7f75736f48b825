// The windows' surroundings on Qt: message boxes, the About window, run-time errors and the
// program's end.
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>
#include <utility>

#include "app/event_table.hpp"
#include "app/window_controls.hpp"

namespace tollivane::frontend::qt {

class AboutDialog;

class QtShell final : public app::WindowShell {
 public:
  // Shows a prepared message box and returns when it is closed; QMessageBox::exec by default.
  using MessageBoxPresenter = std::function<void(QMessageBox&)>;
  // Ends the process with the exit code; flushes and _Exit by default.
  using EndAction = std::function<void(int exitCode)>;

  QtShell();
  ~QtShell() override;

  // The main window owns the windows' event table; the About window's events go through it.
  void setMainWindow(QWidget* window, app::EventTable& events) {
    mainWindow_ = window;
    events_ = &events;
  }
  app::EventTable* events() const { return events_; }
  void setMessageBoxPresenter(MessageBoxPresenter presenter) { present_ = std::move(presenter); }
  void setEndAction(EndAction end) { end_ = std::move(end); }

  // The About window while it is open.
  AboutDialog* aboutWindow() const { return about_; }

  void messageBox(std::string_view prompt, app::MessageIcon icon, std::string_view title) override;
  void showAboutModal() override;
  const app::AboutWindowControls* aboutControls() const override;
  void unloadAbout() override;
  void reportRuntimeError(int number, std::string_view description) override;
  void endProgram() override;
  bool ended() const override { return ended_; }
  // In a KDE Wayland session, a line below the main window's panels when KWin keeps one of
  // the hotkeys from Tollivane; nothing elsewhere.
  void hotkeysInUse(const std::array<std::int16_t, 3>& codes,
                    const std::array<std::int16_t, 3>& shifts) override;
  // Why the desktop's shortcuts are not in use, on the same line; empty when they are or are off.
  void desktopShortcutsNotice(const std::string& why);

 private:
  // The line below the panels, shown while it has something to say.
  void showDesktopLine();

  QPointer<QWidget> mainWindow_;
  std::string kdeNotice_;
  std::string shortcutsNotice_;
  app::EventTable* events_ = nullptr;
  MessageBoxPresenter present_;
  EndAction end_;
  AboutDialog* about_ = nullptr;
  bool ended_ = false;
  int exitCode_ = 0;
};

}  // namespace tollivane::frontend::qt
