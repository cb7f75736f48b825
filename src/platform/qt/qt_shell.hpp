// The shell on Qt: the program folder, its files, message boxes, the About window and
// the program's end. Every window handler runs through run(), which also makes sure that
// nothing runs once the program has ended.
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>
#include <utility>

#include "app/event_dispatch.hpp"
#include "platform/platform.hpp"

namespace tollivane::platform::qt {

class AboutDialog;

class QtShell final : public platform::Shell {
 public:
  // Shows a prepared message box and returns when it is closed; QMessageBox::exec by default.
  using MessageBoxPresenter = std::function<void(QMessageBox&)>;
  // Ends the process with the exit code; flushes and _Exit by default.
  using EndAction = std::function<void(int exitCode)>;

  // `folder`: where the settings file lives; empty for the executable's folder.
  explicit QtShell(std::string folder = {});
  ~QtShell() override;

  void setMainWindow(QWidget* window) { mainWindow_ = window; }
  void setMessageBoxPresenter(MessageBoxPresenter presenter) { present_ = std::move(presenter); }
  void setEndAction(EndAction end) { end_ = std::move(end); }
  // Called as each handler run begins.
  void setRunStarts(std::function<void()> runStarts) { runStarts_ = std::move(runStarts); }

  template <class Handler>
  void run(Handler&& handler) {
    if (ended_) return;
    if (runStarts_) runStarts_();
    app::dispatch(*this, std::forward<Handler>(handler));
  }
  bool ended() const { return ended_; }
  // The About window while it is open.
  AboutDialog* aboutWindow() const { return about_; }

  std::string programFolder() override;
  char pathSeparator() const override { return '/'; }
  bool fileExists(const std::string& path) override;
  std::optional<std::string> readFile(const std::string& path) override;
  std::string replaceFile(const std::string& path, std::string_view bytes) override;
  void messageBox(std::string_view prompt, MessageIcon icon, std::string_view title) override;
  void showAboutModal() override;
  void unloadAbout() override;
  void reportRuntimeError(int number, std::string_view description) override;
  void endProgram() override;

 private:
  std::string folder_;
  QPointer<QWidget> mainWindow_;
  MessageBoxPresenter present_;
  EndAction end_;
  std::function<void()> runStarts_;
  AboutDialog* about_ = nullptr;
  bool ended_ = false;
  int exitCode_ = 0;
};

}  // namespace tollivane::platform::qt
