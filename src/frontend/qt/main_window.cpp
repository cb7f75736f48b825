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

#include "frontend/qt/qt_shell.hpp"
#include "frontend/qt/qt_text.hpp"

namespace tollivane::frontend::qt {
namespace {

constexpr std::string_view kCaptureNames[] = {"qvHotKey1", "qvHotKey2", "qvHotKey3"};

QtTextBox* makeBox(QLineEdit& edit) { return new QtTextBox(edit); }

}  // namespace

MainWindow::MainWindow(platform::Platform& platform, QtShell& shell, double dpi)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      shell_(shell),
      client_(new QWidget(this)) {
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
  buildMenu();

  timer1_ =
      std::make_unique<QtTimer>(timers_, [this] { events_->fire("Timer1", app::Event::Timer); });
  timer2_ =
      std::make_unique<QtTimer>(timers_, [this] { events_->fire("Timer2", app::Event::Timer); });
  for (std::size_t i = 0; i < 3; ++i) boxes_[i].reset(makeBox(capture(int(i) + 1).lineEdit()));
  boxes_[3].reset(makeBox(widgets_->as<QLineEdit>("txtX")));
  boxes_[4].reset(makeBox(widgets_->as<QLineEdit>("txtY")));
  frame1_ = std::make_unique<QtPanel>(widgets_->widget("Frame1"));
  frame2_ = std::make_unique<QtPanel>(widgets_->widget("Frame2"));
  mnuHotkeys_ = std::make_unique<QtMenuEntry>(action("mnuHotkeys"));
  mnuPosition_ = std::make_unique<QtMenuEntry>(action("mnuPosition"));
  mnuOverlayWindow_ = std::make_unique<QtMenuEntry>(action("mnuOverlayWindow"));
  form_ = std::make_unique<app::Form1>(
      platform, shell_,
      app::MainWindowControls{*timer1_, *timer2_, *boxes_[0], *boxes_[1], *boxes_[2], *boxes_[3],
                              *boxes_[4], *frame1_, *frame2_, *mnuHotkeys_, *mnuPosition_,
                              *mnuOverlayWindow_});
  events_ = std::make_unique<app::EventTable>(*form_, shell_);
  connectEvents();
  shell_.setMainWindow(this, *events_);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenu() {
  const ui::WindowLayout& layout = ui::mainWindowLayout();
  menu_ = menuBar()->addMenu(toQString(layout.menuCaption));
  menu_->setObjectName(toQString(layout.menuName));
  for (std::size_t i = 0; i < layout.menu.size() && i < actions_.size(); ++i) {
    const ui::MenuEntryLayout& entry = layout.menu[i];
    QAction* a =
        entry.caption == "-" ? menu_->addSeparator() : menu_->addAction(toQString(entry.caption));
    a->setObjectName(toQString(entry.name));
    a->setCheckable(entry.checkable);
    actions_[i] = a;
  }
}

QAction& MainWindow::action(std::string_view name) const {
  for (QAction* a : actions_) {
    if (a != nullptr && a->objectName() == toQString(name)) return *a;
  }
  throw std::logic_error("no menu entry " + std::string(name));
}

HotKeyCaptureWidget& MainWindow::capture(int number) const {
  return widgets_->as<HotKeyCaptureWidget>(kCaptureNames[number - 1]);
}

void MainWindow::connectEvents() {
  for (const ui::ControlLayout& control : ui::mainWindowLayout().controls) {
    const std::string_view name = control.name;
    if (control.kind == ui::ControlKind::Button) {
      connect(&widgets_->as<QPushButton>(name), &QPushButton::clicked, this,
              [this, name] { events_->fire(name, app::Event::Click); });
    } else if (control.kind == ui::ControlKind::HotKeyCapture) {
      widgets_->as<HotKeyCaptureWidget>(name).setOnKeyDown(
          [this, name](KeyDown key) { events_->keyDown(name, key.keyCode, key.shift); });
    }
  }
  for (QAction* a : actions_) {
    if (a == nullptr || a->isSeparator()) continue;
    const std::string name = a->objectName().toStdString();
    QtMenuEntry* entry = name == "mnuHotkeys"         ? mnuHotkeys_.get()
                         : name == "mnuPosition"      ? mnuPosition_.get()
                         : name == "mnuOverlayWindow" ? mnuOverlayWindow_.get()
                                                      : nullptr;
    connect(a, &QAction::triggered, this, [this, entry, name] {
      if (entry != nullptr) entry->undoToggle();
      events_->fire(name, app::Event::Click);
    });
  }
}

bool MainWindow::load() {
  events_->fire("Form", app::Event::Load);
  return !shell_.ended();
}

void MainWindow::showCentred() {
  adjustSize();
  if (const QScreen* s = screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    move(frame.topLeft());
  }
  show();
  events_->fire("Form", app::Event::Shown);
}

void MainWindow::closeEvent(QCloseEvent* e) {
  // Every close request is honoured; Form1 ends the program from here.
  e->accept();
  events_->fire("Form", app::Event::QueryUnload);
}

}  // namespace tollivane::frontend::qt
