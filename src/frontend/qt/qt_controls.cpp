#include "frontend/qt/qt_controls.hpp"

#include "frontend/qt/qt_text.hpp"

namespace tollivane::frontend::qt {

std::string QtTextBox::text() const { return toStdString(edit_.text()); }

void QtTextBox::setText(std::string_view text) { edit_.setText(toQString(text)); }

void QtLabel::setCaption(std::string_view caption) { label_.setText(toQString(caption)); }

void QtMenuEntry::setCaption(std::string_view caption) { action_.setText(toQString(caption)); }

void QtMenuEntry::setChecked(bool checked) {
  checked_ = checked;
  action_.setChecked(checked);
}

}  // namespace tollivane::frontend::qt
