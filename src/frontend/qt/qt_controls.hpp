// The core's view of Qt widgets: thin adapters that hold no state of their own, except
// the menu entry's check mark (see QtMenuEntry).
#pragma once

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "app/window_controls.hpp"
#include "platform/platform.hpp"

namespace tollivane::frontend::qt {

class QtTextBox final : public app::TextBox {
 public:
  explicit QtTextBox(QLineEdit& edit) : edit_(edit) {}
  std::string text() const override;
  void setText(std::string_view text) override;

 private:
  QLineEdit& edit_;
};

class QtPanel final : public app::Panel {
 public:
  explicit QtPanel(QWidget& widget) : widget_(widget) {}
  void setVisible(bool visible) override { widget_.setVisible(visible); }

 private:
  QWidget& widget_;
};

class QtLabel final : public app::Label {
 public:
  explicit QtLabel(QLabel& label) : label_(label) {}
  void setCaption(std::string_view caption) override;

 private:
  QLabel& label_;
};

// Qt flips a checkable action's mark before its handler runs, while the handler reads the
// mark as it was. The adapter keeps the mark and puts the action back before the handler.
class QtMenuEntry final : public app::MenuEntry {
 public:
  explicit QtMenuEntry(QAction& action) : action_(action) {}
  void setCaption(std::string_view caption) override;
  bool checked() const override { return checked_; }
  void setChecked(bool checked) override;
  // Call first thing when the action is triggered.
  void undoToggle() { action_.setChecked(checked_); }

 private:
  QAction& action_;
  bool checked_ = false;
};

}  // namespace tollivane::frontend::qt
