#include "frontend/qt/qt_shell.hpp"

#include <cstdio>
#include <cstdlib>

#include "app/runtime_error_text.hpp"
#include "frontend/qt/about_dialog.hpp"
#include "frontend/qt/message_boxes.hpp"

namespace tollivane::frontend::qt {

QtShell::QtShell()
    : present_([](QMessageBox& box) { box.exec(); }), end_([](int exitCode) {
        std::fflush(nullptr);
        std::_Exit(exitCode);
      }) {}

QtShell::~QtShell() = default;

void QtShell::messageBox(std::string_view prompt, app::MessageIcon icon, std::string_view title) {
  const auto box = makeMessageBox(prompt, icon, title, mainWindow_);
  present_(*box);
}

void QtShell::showAboutModal() {
  if (about_ != nullptr || events_ == nullptr) return;
  AboutDialog dialog(mainWindow_, *this);
  about_ = &dialog;
  events_->fire(app::kAboutWindow, app::Event::Load);
  // A nested event loop: the main window's timers go on ticking while it runs.
  if (!ended_) dialog.exec();
  about_ = nullptr;
}

const app::AboutWindowControls* QtShell::aboutControls() const {
  return about_ != nullptr ? &about_->controls() : nullptr;
}

void QtShell::unloadAbout() {
  if (about_ != nullptr) about_->done(QDialog::Accepted);
}

void QtShell::reportRuntimeError(int number, std::string_view description) {
  exitCode_ = 1;
  const auto box = makeMessageBox(app::runtimeErrorText(number, description),
                                  app::MessageIcon::None, app::kAppTitle, mainWindow_);
  box->setIcon(QMessageBox::Critical);
  present_(*box);
}

void QtShell::endProgram() {
  if (ended_) return;
  ended_ = true;
  end_(exitCode_);
}

}  // namespace tollivane::frontend::qt
