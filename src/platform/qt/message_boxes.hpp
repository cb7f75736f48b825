// The program's message boxes: application-modal, OK only.
#pragma once

#include <QMessageBox>
#include <memory>
#include <string_view>

#include "platform/platform.hpp"

namespace tollivane::platform::qt {

std::unique_ptr<QMessageBox> makeMessageBox(std::string_view prompt, platform::MessageIcon icon,
                                            std::string_view title, QWidget* parent);

// "Run-time error '6':\n\nOverflow"
std::string runtimeErrorText(int number, std::string_view description);

}  // namespace tollivane::platform::qt
