#include "frontend/qt/about_dialog.hpp"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "frontend/qt/qt_shell.hpp"
#include "frontend/qt/qt_text.hpp"

namespace tollivane::frontend::qt {
namespace {

QLabel& descriptionLabel(const LayoutWidgets& w) { return w.as<QLabel>("lblDescription"); }

}  // namespace

AboutDialog::AboutDialog(QWidget* owner, QtShell& shell, double dpi)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      shell_(shell),
      widgets_(std::make_unique<LayoutWidgets>(
          ui::aboutWindowLayout(), *this, dpi > 0 ? dpi : layoutDpi(owner ? *owner : *this),
          [](const ui::ControlLayout&, QWidget*) -> QWidget* { return nullptr; })),
      description_(std::make_unique<QtLabel>(descriptionLabel(*widgets_))),
      controls_{*description_} {
  const ui::WindowLayout& layout = ui::aboutWindowLayout();
  setWindowTitle(toQString(layout.caption));
  setModal(true);
  auto& ok = widgets_->as<QPushButton>("cmdOK");
  connect(&ok, &QPushButton::clicked, this, [this] {
    if (app::EventTable* events = shell_.events()) events->fire("cmdOK", app::Event::Click);
  });
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::keyPressEvent(QKeyEvent* e) {
  // OK is the cancel button as well as the default one: Esc presses it too.
  if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
    widgets_->as<QPushButton>("cmdOK").click();
    return;
  }
  QDialog::keyPressEvent(e);
}

void AboutDialog::reject() {
  // The title bar's close button: the window unloads without a click on OK.
  if (shell_.aboutWindow() == this) {
    shell_.unloadAbout();
  } else {
    QDialog::reject();
  }
}

void AboutDialog::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  // Qt has centred the dialog on its owner by now.
  widgets_->widget("cmdOK").setFocus();
}

}  // namespace tollivane::frontend::qt
