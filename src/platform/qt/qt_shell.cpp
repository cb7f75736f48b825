#include "platform/qt/qt_shell.hpp"

#include <cstdio>
#include <cstdlib>

#include "platform/posix/posix_files.hpp"
#include "platform/qt/about_dialog.hpp"
#include "platform/qt/message_boxes.hpp"
#include "ui/about/frm_about.hpp"

namespace tollivane::platform::qt {

QtShell::QtShell(std::string folder)
    : folder_(std::move(folder)),
      present_([](QMessageBox& box) { box.exec(); }),
      end_([](int exitCode) {
        std::fflush(nullptr);
        std::_Exit(exitCode);
      }) {}

QtShell::~QtShell() = default;

std::string QtShell::programFolder() {
  return folder_.empty() ? posix::executableFolder() : folder_;
}

bool QtShell::fileExists(const std::string& path) { return posix::isFile(path); }

std::optional<std::string> QtShell::readFile(const std::string& path) {
  return posix::readWholeFile(path);
}

std::string QtShell::replaceFile(const std::string& path, std::string_view bytes) {
  return posix::replaceFileAtomically(path, bytes);
}

std::string QtShell::updateFile(const std::string& path, const FileEdit& edit) {
  return posix::updateFileAtomically(path, edit);
}

void QtShell::messageBox(std::string_view prompt, MessageIcon icon, std::string_view title) {
  const auto box = makeMessageBox(prompt, icon, title, mainWindow_);
  present_(*box);
}

void QtShell::showAboutModal() {
  if (about_ != nullptr) return;
  AboutDialog dialog(mainWindow_, *this);
  about_ = &dialog;
  run([&] { ui::frmAbout::Form_Load(dialog.controls()); });
  // A nested event loop: the main window's timers go on ticking while it runs.
  if (!ended_) dialog.exec();
  about_ = nullptr;
}

void QtShell::unloadAbout() {
  if (about_ != nullptr) about_->done(QDialog::Accepted);
}

void QtShell::reportRuntimeError(int number, std::string_view description) {
  exitCode_ = 1;
  const auto box = makeMessageBox(runtimeErrorText(number, description), MessageIcon::None,
                                  kAppTitle, mainWindow_);
  box->setIcon(QMessageBox::Critical);
  present_(*box);
}

void QtShell::endProgram() {
  if (ended_) return;
  ended_ = true;
  end_(exitCode_);
}

}  // namespace tollivane::platform::qt
