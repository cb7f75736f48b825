// The About window: modal, owned by the main window, closed by its OK button (also Enter
// and Esc) or the title bar's close button.
#pragma once

#include <QDialog>
#include <memory>

#include "platform/platform.hpp"
#include "platform/qt/layout_builder.hpp"
#include "platform/qt/qt_controls.hpp"

namespace tollivane::platform::qt {

class QtShell;

class AboutDialog final : public QDialog {
  Q_OBJECT
 public:
  // `dpi` 0: the screen's logical dpi.
  AboutDialog(QWidget* owner, QtShell& shell, double dpi = 0);
  ~AboutDialog() override;

  const platform::AboutWindowControls& controls() const { return controls_; }
  const LayoutWidgets& widgets() const { return *widgets_; }

  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  QtShell& shell_;
  std::unique_ptr<LayoutWidgets> widgets_;
  std::unique_ptr<QtLabel> description_;
  platform::AboutWindowControls controls_;
};

}  // namespace tollivane::platform::qt
