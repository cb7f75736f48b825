#include "frontend/qt/message_boxes.hpp"

#include "frontend/qt/qt_text.hpp"

namespace tollivane::frontend::qt {

std::unique_ptr<QMessageBox> makeMessageBox(std::string_view prompt, app::MessageIcon icon,
                                            std::string_view title, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(toQString(title.empty() ? app::kAppTitle : title));
  box->setTextFormat(Qt::PlainText);
  box->setText(toQString(prompt));
  box->setIcon(icon == app::MessageIcon::Information ? QMessageBox::Information
                                                     : QMessageBox::NoIcon);
  box->setStandardButtons(QMessageBox::Ok);
  box->setDefaultButton(QMessageBox::Ok);
  box->setEscapeButton(QMessageBox::Ok);
  box->setWindowModality(Qt::ApplicationModal);
  return box;
}

}  // namespace tollivane::frontend::qt
