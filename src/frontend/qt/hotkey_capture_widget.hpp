// The capture control as a widget: a control surface whose one child, the box `t`, always
// fills it. Every key-down in the box goes to the owner as a virtual-key code and modifier
// mask, Tab, Enter and Esc included; the box takes no typed, pasted or dropped text.
#pragma once

#include <QLineEdit>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "app/window_controls.hpp"
#include "frontend/qt/qt_controls.hpp"
#include "frontend/qt/qt_key_map.hpp"

namespace tollivane::frontend::qt {

class CaptureBox final : public QLineEdit {
  Q_OBJECT
 public:
  explicit CaptureBox(QWidget* parent);
  std::function<void(KeyDown)> onKeyDown;
  // The box gains (true) or loses the keyboard focus; its window losing the focus counts.
  std::function<void(bool)> onFocus;

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
};

class HotKeyCaptureWidget final : public QWidget {
  Q_OBJECT
 public:
  explicit HotKeyCaptureWidget(QWidget* parent = nullptr);

  // The inner box, as the capture routine reads and writes it.
  app::TextBox& box() { return boxAdapter_; }
  CaptureBox& lineEdit() { return t_; }
  void setOnKeyDown(std::function<void(KeyDown)> handler) { t_.onKeyDown = std::move(handler); }
  void setOnFocus(std::function<void(bool)> handler) { t_.onFocus = std::move(handler); }

  // The control's shell: size in twips, the box's font.
  double widthTwips() const;
  double heightTwips() const;
  void setWidthTwips(double twips);
  void setHeightTwips(double twips);
  QString fontName() const { return t_.font().family(); }
  void setFontName(const QString& name);
  double fontSize() const { return t_.font().pointSizeF(); }
  void setFontSize(double points);
  bool fontBold() const { return t_.font().bold(); }
  void setFontBold(bool on);
  bool fontItalic() const { return t_.font().italic(); }
  void setFontItalic(bool on);
  bool fontUnderline() const { return t_.font().underline(); }
  void setFontUnderline(bool on);

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  // The box draws with the font it holds: a change shows at once.
  template <class Change>
  void changeFont(Change&& change) {
    QFont f = t_.font();
    change(f);
    t_.setFont(f);
  }
  CaptureBox t_;
  QtTextBox boxAdapter_;
};

}  // namespace tollivane::frontend::qt
