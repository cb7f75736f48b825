// The About window: modal, owned by the main window, closed by its OK button (also Enter
// and Esc) or the title bar's close button.
#pragma once

#include <QDialog>
#include <QPushButton>
#include <memory>

#include "app/window_controls.hpp"
#include "frontend/qt/layout_builder.hpp"
#include "frontend/qt/qt_window_controls.hpp"
#include "platform/platform.hpp"

namespace tollivane::frontend::qt {

class QtShell;

class AboutDialog final : public QDialog {
  Q_OBJECT
 public:
  // `dpi` 0: the screen's logical dpi.
  AboutDialog(QWidget* owner, QtShell& shell, double dpi = 0);
  ~AboutDialog() override;

  const app::AboutWindowControls& controls() const { return controls_; }
  const LayoutWidgets& widgets() const { return *widgets_; }

  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  QPushButton* button(const ui::ControlLayout* control) const;

  QtShell& shell_;
  std::unique_ptr<LayoutWidgets> widgets_;
  std::unique_ptr<QtWindowControls> lookup_;
  app::AboutWindowControls controls_;
};

}  // namespace tollivane::frontend::qt
