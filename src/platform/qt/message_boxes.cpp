#include "platform/qt/message_boxes.hpp"

#include <string>

#include "platform/qt/qt_text.hpp"

namespace tollivane::platform::qt {

std::unique_ptr<QMessageBox> makeMessageBox(std::string_view prompt, platform::MessageIcon icon,
                                            std::string_view title, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(toQString(title.empty() ? platform::kAppTitle : title));
  box->setTextFormat(Qt::PlainText);
  box->setText(toQString(prompt));
  box->setIcon(icon == platform::MessageIcon::Information ? QMessageBox::Information
                                                          : QMessageBox::NoIcon);
  box->setStandardButtons(QMessageBox::Ok);
  box->setDefaultButton(QMessageBox::Ok);
  box->setEscapeButton(QMessageBox::Ok);
  box->setWindowModality(Qt::ApplicationModal);
  return box;
}

std::string runtimeErrorText(int number, std::string_view description) {
  return "Run-time error '" + std::to_string(number) + "':\r\n\r\n" + std::string(description);
}

}  // namespace tollivane::platform::qt
