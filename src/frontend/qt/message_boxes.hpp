// The program's message boxes: application-modal, OK only.
#pragma once

#include <QMessageBox>
#include <memory>
#include <string_view>

#include "app/window_controls.hpp"
#include "platform/platform.hpp"

namespace tollivane::frontend::qt {

std::unique_ptr<QMessageBox> makeMessageBox(std::string_view prompt, app::MessageIcon icon,
                                            std::string_view title, QWidget* parent);

}  // namespace tollivane::frontend::qt
