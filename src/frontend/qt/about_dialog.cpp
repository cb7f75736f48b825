#include "frontend/qt/about_dialog.hpp"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "app/window_binding.hpp"
#include "frontend/qt/qt_shell.hpp"
#include "frontend/qt/qt_text.hpp"

namespace tollivane::frontend::qt {
AboutDialog::AboutDialog(QWidget* owner, QtShell& shell, double dpi)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      shell_(shell),
      widgets_(std::make_unique<LayoutWidgets>(
          ui::aboutWindowLayout(), *this, dpi > 0 ? dpi : layoutDpi(owner ? *owner : *this),
          [](const ui::ControlLayout&, QWidget*) -> QWidget* { return nullptr; })),
      lookup_(std::make_unique<QtWindowControls>(*widgets_)),
      controls_(app::bindAboutWindow(*lookup_)) {
  const ui::WindowLayout& layout = ui::aboutWindowLayout();
  setWindowTitle(toQString(layout.caption));
  setModal(true);
  for (const ui::ControlLayout& control : layout.controls) {
    if (control.kind != ui::ControlKind::Button) continue;
    const std::string_view name = control.name;
    connect(&widgets_->as<QPushButton>(name), &QPushButton::clicked, this, [this, name] {
      if (app::EventTable* events = shell_.events()) events->fire(name, app::Event::Click);
    });
  }
}

QPushButton* AboutDialog::button(const ui::ControlLayout* control) const {
  return control ? &widgets_->as<QPushButton>(control->name) : nullptr;
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::keyPressEvent(QKeyEvent* e) {
  // OK is the cancel button as well as the default one: Esc presses it too.
  QPushButton* cancel = button(ui::cancelButton(ui::aboutWindowLayout()));
  if (cancel && e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
    cancel->click();
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
  if (QPushButton* ok = button(ui::defaultButton(ui::aboutWindowLayout()))) ok->setFocus();
}

}  // namespace tollivane::frontend::qt
