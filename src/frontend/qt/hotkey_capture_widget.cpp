#include "frontend/qt/hotkey_capture_widget.hpp"

#include <QKeyEvent>
#include <QPalette>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "ui/layout.hpp"

namespace tollivane::frontend::qt {
namespace {

using ui::kCaptureBoxLook;
using ui::kTwipsPerInch;

QColor colour(ui::Rgb c) { return QColor(c.r, c.g, c.b); }

// The box's grey and black text, on whichever of its palette's roles `roles` names.
void paintCaptureColours(QWidget& w,
                         std::initializer_list<std::pair<QPalette::ColorRole, ui::Rgb>> roles) {
  QPalette p = w.palette();
  for (const auto& [role, rgb] : roles) p.setColor(role, colour(rgb));
  w.setPalette(p);
}

}  // namespace

CaptureBox::CaptureBox(QWidget* parent) : QLineEdit(parent) {
  // Read-only refuses typing, pasting, dropping and the input method; keys still arrive.
  setReadOnly(true);
  setContextMenuPolicy(Qt::NoContextMenu);
  setAcceptDrops(false);
  setDragEnabled(false);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setFocusPolicy(Qt::StrongFocus);
  paintCaptureColours(*this, {{QPalette::Base, kCaptureBoxLook.background},
                              {QPalette::Text, kCaptureBoxLook.text},
                              {QPalette::Window, kCaptureBoxLook.background},
                              {QPalette::WindowText, kCaptureBoxLook.text}});
  QFont f(QString::fromLatin1(kCaptureBoxLook.fontFace.data(),
                              static_cast<qsizetype>(kCaptureBoxLook.fontFace.size())));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(kCaptureBoxLook.fontPoints);
  setFont(f);
}

bool CaptureBox::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::ShortcutOverride:
      // Every key belongs to the box: no shortcut, default button or focus move takes it.
      e->accept();
      return true;
    case QEvent::KeyPress:
      keyPressEvent(static_cast<QKeyEvent*>(e));
      return true;
    default:
      return QLineEdit::event(e);
  }
}

void CaptureBox::keyPressEvent(QKeyEvent* e) {
  e->accept();
  const bool keypad = e->modifiers().testFlag(Qt::KeypadModifier);
  const auto keyCode = virtualKeyFromQtKey(e->key(), keypad);
  if (!keyCode || !onKeyDown) return;
  onKeyDown(
      {*keyCode, modifierMaskFromQt(static_cast<unsigned>(e->modifiers().toInt()), *keyCode)});
}

void CaptureBox::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  if (onFocus) onFocus(true);
}

void CaptureBox::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  if (onFocus) onFocus(false);
}

void CaptureBox::mousePressEvent(QMouseEvent* e) {
  // The middle button would paste the X selection even into a read-only box's owner.
  if (e->button() == Qt::MiddleButton) return e->accept();
  QLineEdit::mousePressEvent(e);
}

void CaptureBox::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::MiddleButton) return e->accept();
  QLineEdit::mouseReleaseEvent(e);
}

void CaptureBox::inputMethodEvent(QInputMethodEvent* e) { e->ignore(); }

HotKeyCaptureWidget::HotKeyCaptureWidget(QWidget* parent)
    : QWidget(parent), t_(this), boxAdapter_(t_) {
  setFocusProxy(&t_);
  setAutoFillBackground(true);
  paintCaptureColours(*this, {{QPalette::Window, kCaptureBoxLook.background},
                              {QPalette::WindowText, kCaptureBoxLook.text}});
  t_.setGeometry(0, 0, width(), height());
}

void HotKeyCaptureWidget::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  t_.setGeometry(0, 0, width(), height());
}

double HotKeyCaptureWidget::widthTwips() const { return width() * kTwipsPerInch / logicalDpiX(); }

double HotKeyCaptureWidget::heightTwips() const { return height() * kTwipsPerInch / logicalDpiY(); }

void HotKeyCaptureWidget::setWidthTwips(double twips) {
  resize(static_cast<int>(std::lround(twips * logicalDpiX() / kTwipsPerInch)), height());
}

void HotKeyCaptureWidget::setHeightTwips(double twips) {
  resize(width(), static_cast<int>(std::lround(twips * logicalDpiY() / kTwipsPerInch)));
}

void HotKeyCaptureWidget::setFontName(const QString& name) {
  changeFont([&](QFont& f) { f.setFamily(name); });
}

void HotKeyCaptureWidget::setFontSize(double points) {
  changeFont([&](QFont& f) { f.setPointSizeF(points); });
}

void HotKeyCaptureWidget::setFontBold(bool on) {
  changeFont([&](QFont& f) { f.setBold(on); });
}

void HotKeyCaptureWidget::setFontItalic(bool on) {
  changeFont([&](QFont& f) { f.setItalic(on); });
}

void HotKeyCaptureWidget::setFontUnderline(bool on) {
  changeFont([&](QFont& f) { f.setUnderline(on); });
}

}  // namespace tollivane::frontend::qt
