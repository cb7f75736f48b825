#include "frontend/qt/qt_window_controls.hpp"

#include <QLabel>
#include <QLineEdit>

#include "frontend/qt/hotkey_capture_widget.hpp"

namespace tollivane::frontend::qt {
void QtWindowControls::addMenuEntry(QAction& action) {
  menuEntries_.add(action.objectName().toStdString(), std::make_unique<QtMenuEntry>(action));
}

app::TextBox& QtWindowControls::textBox(std::string_view name) {
  if (auto* capture = qobject_cast<HotKeyCaptureWidget*>(&widgets_.widget(name))) {
    return capture->box();
  }
  return textBoxes_.made(name,
                         [&] { return std::make_unique<QtTextBox>(widgets_.as<QLineEdit>(name)); });
}

app::Panel& QtWindowControls::panel(std::string_view name) {
  return panels_.made(name, [&] { return std::make_unique<QtPanel>(widgets_.widget(name)); });
}

QtMenuEntry& QtWindowControls::menuEntry(std::string_view name) {
  return menuEntries_.added(name, "menu entry");
}

app::Label& QtWindowControls::label(std::string_view name) {
  return labels_.made(name, [&] { return std::make_unique<QtLabel>(widgets_.as<QLabel>(name)); });
}

}  // namespace tollivane::frontend::qt
