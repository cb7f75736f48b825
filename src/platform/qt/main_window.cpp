#include "platform/qt/main_window.hpp"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <stdexcept>
#include <string>

#include "platform/qt/qt_shell.hpp"
#include "platform/qt/qt_text.hpp"

namespace tollivane::platform::qt {
namespace {

constexpr std::string_view kCaptureNames[] = {"qvHotKey1", "qvHotKey2", "qvHotKey3"};

QtTextBox* makeBox(QLineEdit& edit) { return new QtTextBox(edit); }

}  // namespace

MainWindow::MainWindow(platform::KeyState& keys, platform::ForegroundSurface& surface,
                       QtShell& shell, double dpi)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      shell_(shell),
      platform_{keys, surface, shell},
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
      std::make_unique<QtTimer>(timers_, [this] { shell_.run([this] { form_->Timer1_Timer(); }); });
  timer2_ =
      std::make_unique<QtTimer>(timers_, [this] { shell_.run([this] { form_->Timer2_Timer(); }); });
  for (std::size_t i = 0; i < 3; ++i) boxes_[i].reset(makeBox(capture(int(i) + 1).lineEdit()));
  boxes_[3].reset(makeBox(widgets_->as<QLineEdit>("txtX")));
  boxes_[4].reset(makeBox(widgets_->as<QLineEdit>("txtY")));
  frame1_ = std::make_unique<QtPanel>(widgets_->widget("Frame1"));
  frame2_ = std::make_unique<QtPanel>(widgets_->widget("Frame2"));
  mnuHotkeys_ = std::make_unique<QtMenuEntry>(action("mnuHotkeys"));
  mnuPosition_ = std::make_unique<QtMenuEntry>(action("mnuPosition"));
  form_ = std::make_unique<app::Form1>(
      platform_, platform::MainWindowControls{*timer1_, *timer2_, *boxes_[0], *boxes_[1],
                                              *boxes_[2], *boxes_[3], *boxes_[4], *frame1_,
                                              *frame2_, *mnuHotkeys_, *mnuPosition_});
  connectButtons();
  shell_.setMainWindow(this);
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

void MainWindow::connectButtons() {
  const auto onClick = [this](std::string_view name, void (app::Form1::*handler)()) {
    connect(&widgets_->as<QPushButton>(name), &QPushButton::clicked, this,
            [this, handler] { shell_.run([this, handler] { (form_.get()->*handler)(); }); });
  };
  onClick("Command1", &app::Form1::Command1_Click);
  onClick("Command2", &app::Form1::Command2_Click);
  onClick("Command3", &app::Form1::Command3_Click);
  onClick("Command4", &app::Form1::Command4_Click);

  connect(&action("mnuHotkeys"), &QAction::triggered, this, [this] {
    mnuHotkeys_->undoToggle();
    shell_.run([this] { form_->mnuHotkeys_Click(); });
  });
  connect(&action("mnuPosition"), &QAction::triggered, this, [this] {
    mnuPosition_->undoToggle();
    shell_.run([this] { form_->mnuPosition_Click(); });
  });
  connect(&action("mnuAbout"), &QAction::triggered, this,
          [this] { shell_.run([this] { form_->mnuAbout_Click(); }); });
  connect(&action("mnuExit"), &QAction::triggered, this,
          [this] { shell_.run([this] { form_->mnuExit_Click(); }); });

  for (int n = 1; n <= 3; ++n) {
    capture(n).setOnKeyDown([this, n](KeyDown key) {
      shell_.run([this, n, key] {
        controls::qvHotKey& control = n == 1   ? form_->qvHotKey1()
                                      : n == 2 ? form_->qvHotKey2()
                                               : form_->qvHotKey3();
        control.t_KeyDown(key.keyCode, key.shift);
      });
    });
  }
}

bool MainWindow::load() {
  shell_.run([this] { form_->Form_Load(); });
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
  shell_.run([this] { form_->Form_Shown(); });
}

void MainWindow::closeEvent(QCloseEvent* e) {
  // Every close request is honoured; Form1 ends the program from here.
  e->accept();
  shell_.run([this] { form_->Form_QueryUnload(); });
}

}  // namespace tollivane::platform::qt
