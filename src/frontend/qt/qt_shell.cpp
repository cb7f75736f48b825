#include "frontend/qt/qt_shell.hpp"

#include <cstdio>
#include <cstdlib>

#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QStatusBar>

#include "app/runtime_error_text.hpp"
#include "frontend/qt/about_dialog.hpp"
#include "frontend/qt/kde_hotkey_notice.hpp"
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

void QtShell::hotkeysInUse(const std::array<std::int16_t, 3>& codes,
                           const std::array<std::int16_t, 3>& shifts) {
  kdeNotice_ = kdeHotkeyNotice(codes, shifts);
  showDesktopLine();
}

void QtShell::desktopShortcutsNotice(const std::string& why) {
  shortcutsNotice_ = why;
  showDesktopLine();
}

void QtShell::showDesktopLine() {
  auto* window = qobject_cast<QMainWindow*>(mainWindow_.data());
  if (window == nullptr) return;
  const std::string notice =
      kdeNotice_ + (kdeNotice_.empty() || shortcutsNotice_.empty() ? "" : "\n") + shortcutsNotice_;
  auto* line = window->findChild<QLabel*>(QStringLiteral("lblDesktop"));
  if (notice.empty()) {
    // Made only when needed, so that the window keeps its size everywhere else.
    if (line != nullptr && line->isVisibleTo(window)) {
      window->statusBar()->hide();
      window->layout()->activate();
      window->adjustSize();
    }
    return;
  }
  if (line == nullptr) {
    QStatusBar* bar = window->statusBar();
    bar->setSizeGripEnabled(false);
    line = new QLabel(bar);
    line->setObjectName(QStringLiteral("lblDesktop"));
    line->setWordWrap(true);
    bar->addWidget(line, 1);
  }
  line->setText(QString::fromStdString(notice));
  // Wrapped to the window's fixed width up front: a status bar lays out a wrapping label's
  // height only after its first guess.
  const QWidget* client = window->centralWidget();
  const QMargins margins = window->statusBar()->contentsMargins();
  line->setFixedHeight(line->heightForWidth((client ? client->width() : line->width()) -
                                            margins.left() - margins.right() - 8));
  window->statusBar()->show();
  // The window grows by the line's height; its panels keep their place and size.
  window->layout()->activate();
  window->adjustSize();
}

void QtShell::endProgram() {
  if (ended_) return;
  ended_ = true;
  end_(exitCode_);
}

}  // namespace tollivane::frontend::qt
