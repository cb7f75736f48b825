#include "frontend/qt/qt_window_controls.hpp"

#include <QLabel>
#include <QLineEdit>
#include <stdexcept>

#include "frontend/qt/hotkey_capture_widget.hpp"

namespace tollivane::frontend::qt {
namespace {

template <class T, class Make>
T& made(std::map<std::string, std::unique_ptr<T>, std::less<>>& named, std::string_view name,
        Make&& make) {
  auto it = named.find(name);
  if (it == named.end()) it = named.emplace(std::string(name), make()).first;
  return *it->second;
}

template <class T>
T& added(const std::map<std::string, std::unique_ptr<T>, std::less<>>& named, std::string_view name,
         std::string_view kind) {
  const auto it = named.find(name);
  if (it == named.end())
    throw std::logic_error("no " + std::string(kind) + " " + std::string(name));
  return *it->second;
}

}  // namespace

void QtWindowControls::addMenuEntry(QAction& action) {
  menuEntries_.emplace(action.objectName().toStdString(), std::make_unique<QtMenuEntry>(action));
}

void QtWindowControls::addTimer(std::string_view name, std::unique_ptr<QtTimer> timer) {
  timers_.emplace(std::string(name), std::move(timer));
}

QtTimer& QtWindowControls::timer(std::string_view name) { return added(timers_, name, "timer"); }

app::TextBox& QtWindowControls::textBox(std::string_view name) {
  if (auto* capture = qobject_cast<HotKeyCaptureWidget*>(&widgets_.widget(name))) {
    return capture->box();
  }
  return made(textBoxes_, name,
              [&] { return std::make_unique<QtTextBox>(widgets_.as<QLineEdit>(name)); });
}

app::Panel& QtWindowControls::panel(std::string_view name) {
  return made(panels_, name, [&] { return std::make_unique<QtPanel>(widgets_.widget(name)); });
}

QtMenuEntry& QtWindowControls::menuEntry(std::string_view name) {
  return added(menuEntries_, name, "menu entry");
}

app::Label& QtWindowControls::label(std::string_view name) {
  return made(labels_, name, [&] { return std::make_unique<QtLabel>(widgets_.as<QLabel>(name)); });
}

}  // namespace tollivane::frontend::qt
