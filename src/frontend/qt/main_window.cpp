#include "frontend/qt/main_window.hpp"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <stdexcept>
#include <string>

#include "app/window_binding.hpp"
#include "frontend/qt/qt_shell.hpp"
#include "frontend/qt/qt_text.hpp"

namespace tollivane::frontend::qt {
MainWindow::MainWindow(platform::Platform& platform, QtShell& shell, double dpi)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      shell_(shell),
      client_(new QWidget(this)),
      timers_(ui::mainWindowLayout(), systemTimer_) {
  const ui::WindowLayout& layout = ui::mainWindowLayout();
  setWindowTitle(toQString(layout.caption));
  setCentralWidget(client_);
  widgets_ =
      std::make_unique<LayoutWidgets>(layout, *client_, dpi > 0 ? dpi : layoutDpi(*this),
                                      [](const ui::ControlLayout&, QWidget* parent) -> QWidget* {
                                        return new HotKeyCaptureWidget(parent);
                                      });
  // The client area keeps its size; the menu bar adds its own height above it.
  QMainWindow::layout()->setSizeConstraint(QLayout::SetFixedSize);
  controls_ = std::make_unique<QtWindowControls>(*widgets_);
  buildMenu();
  wiring_ = std::make_unique<app::MainWindowWiring>(platform, shell_, *controls_, timers_);
  connectEvents();
  shell_.setMainWindow(this, events());
}

MainWindow::~MainWindow() {
  // Widgets going away lose the focus after the wiring has gone: they tell nobody.
  for (const ui::ControlLayout& control : ui::mainWindowLayout().controls) {
    if (control.kind == ui::ControlKind::HotKeyCapture) capture(control.name).setOnFocus({});
  }
}

void MainWindow::buildMenu() {
  const ui::WindowLayout& layout = ui::mainWindowLayout();
  menu_ = menuBar()->addMenu(toQString(layout.menuCaption));
  menu_->setObjectName(toQString(layout.menuName));
  actions_.assign(layout.menu.size(), nullptr);
  menu_->setToolTipsVisible(true);
  for (std::size_t i = 0; i < layout.menu.size(); ++i) {
    const ui::MenuEntryLayout& entry = layout.menu[i];
    QAction* a =
        entry.caption == "-" ? menu_->addSeparator() : menu_->addAction(toQString(entry.caption));
    a->setObjectName(toQString(entry.name));
    a->setCheckable(entry.checkable);
    if (!entry.help.empty()) {
      a->setToolTip(toQString(entry.help));
      a->setStatusTip(a->toolTip());
    }
    actions_[i] = a;
    if (!a->isSeparator()) controls_->addMenuEntry(*a);
  }
}

QAction& MainWindow::action(std::string_view name) const {
  for (QAction* a : actions_) {
    if (a != nullptr && a->objectName() == toQString(name)) return *a;
  }
  throw std::logic_error("no menu entry " + std::string(name));
}

HotKeyCaptureWidget& MainWindow::capture(std::string_view name) const {
  return widgets_->as<HotKeyCaptureWidget>(name);
}

void MainWindow::connectEvents() {
  for (const ui::ControlLayout& control : ui::mainWindowLayout().controls) {
    const std::string_view name = control.name;
    if (control.kind == ui::ControlKind::Button) {
      connect(&widgets_->as<QPushButton>(name), &QPushButton::clicked, this,
              [this, name] { events().fire(name, app::Event::Click); });
    } else if (control.kind == ui::ControlKind::HotKeyCapture) {
      HotKeyCaptureWidget& box = widgets_->as<HotKeyCaptureWidget>(name);
      box.setOnKeyDown(
          [this, name](KeyDown key) { events().keyDown(name, key.keyCode, key.shift); });
      box.setOnFocus([this, name](bool has) { events().focus(name, has); });
    }
  }
  for (QAction* a : actions_) {
    if (a == nullptr || a->isSeparator()) continue;
    const std::string name = a->objectName().toStdString();
    QtMenuEntry* entry = a->isCheckable() ? &controls_->menuEntry(name) : nullptr;
    connect(a, &QAction::triggered, this, [this, entry, name] {
      if (entry != nullptr) entry->undoToggle();
      events().fire(name, app::Event::Click);
    });
  }
}

bool MainWindow::load() {
  events().fire(app::kMainWindow, app::Event::Load);
  return !shell_.ended();
}

void MainWindow::showCentred(bool minimized) {
  adjustSize();
  if (const QScreen* s = screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    move(frame.topLeft());
  }
  minimized ? showMinimized() : show();
  events().fire(app::kMainWindow, app::Event::Shown);
}

void MainWindow::startUnshown() { events().fire(app::kMainWindow, app::Event::Shown); }

void MainWindow::closeEvent(QCloseEvent* e) {
  // Every close request is honoured; Form1 ends the program from here.
  e->accept();
  events().fire(app::kMainWindow, app::Event::QueryUnload);
}

}  // namespace tollivane::frontend::qt
