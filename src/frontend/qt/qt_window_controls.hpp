// A window's controls as the logic finds them by the names of the window's table: adapters
// over the widgets built from it, made on first lookup; the main window adds its menu entries.
#pragma once

#include <QAction>
#include <memory>
#include <string_view>

#include "app/named_controls.hpp"
#include "app/window_binding.hpp"
#include "frontend/qt/layout_builder.hpp"
#include "frontend/qt/qt_controls.hpp"

namespace tollivane::frontend::qt {

class QtWindowControls final : public app::ControlLookup {
 public:
  explicit QtWindowControls(const LayoutWidgets& widgets) : widgets_(widgets) {}
  QtWindowControls(const QtWindowControls&) = delete;
  QtWindowControls& operator=(const QtWindowControls&) = delete;

  // A menu entry, named by its action's object name.
  void addMenuEntry(QAction& action);

  app::TextBox& textBox(std::string_view name) override;
  app::Panel& panel(std::string_view name) override;
  QtMenuEntry& menuEntry(std::string_view name) override;
  app::Label& label(std::string_view name) override;

 private:
  const LayoutWidgets& widgets_;
  app::NamedControls<QtTextBox> textBoxes_;
  app::NamedControls<QtPanel> panels_;
  app::NamedControls<QtLabel> labels_;
  app::NamedControls<QtMenuEntry> menuEntries_;
};

}  // namespace tollivane::frontend::qt
