#include "frontend/sim/sim_window.hpp"

#include <stdexcept>

namespace tollivane::frontend::sim {

namespace {

template <class Control>
Control* find(std::map<std::string, Control, std::less<>>& controls, std::string_view name) {
  const auto it = controls.find(name);
  return it == controls.end() ? nullptr : &it->second;
}

template <class Control>
Control& require(Control* control, std::string_view name) {
  if (!control) throw std::logic_error("window layout lacks " + std::string(name));
  return *control;
}

}  // namespace

SimWindow::SimWindow(const ui::WindowLayout& layout, platform::sim::SimClock& clock)
    : layout_(layout), systemTimer_(clock), timers_(layout, systemTimer_) {
  for (const ui::ControlLayout& c : layout_.controls) {
    const std::string name(c.name);
    switch (c.kind) {
      case ui::ControlKind::TextBox:
        textBoxes_.try_emplace(name, c.caption);
        break;
      case ui::ControlKind::HotKeyCapture:
        textBoxes_.try_emplace(name);
        break;
      case ui::ControlKind::Panel:
        panels_.try_emplace(name, c.caption, c.visible);
        break;
      case ui::ControlKind::Label:
        labels_.try_emplace(name, c.caption);
        break;
      case ui::ControlKind::Button:
        buttons_.insert(name);
        break;
      case ui::ControlKind::Picture:
        break;
    }
  }
  for (const ui::MenuEntryLayout& entry : layout_.menu) {
    menuEntries_.try_emplace(std::string(entry.name), entry.caption);
  }
}

void SimWindow::reset() {
  for (const ui::ControlLayout& c : layout_.controls) {
    if (SimTextBox* box = textBox(c.name)) {
      box->setText(c.kind == ui::ControlKind::TextBox ? c.caption : std::string_view{});
    } else if (SimPanel* p = panel(c.name)) {
      *p = SimPanel(c.caption, c.visible);
    } else if (SimLabel* l = label(c.name)) {
      l->setCaption(c.caption);
    }
  }
  for (const ui::MenuEntryLayout& entry : layout_.menu) {
    *menuEntry(entry.name) = SimMenuEntry(entry.caption);
  }
}

SimTextBox* SimWindow::textBox(std::string_view name) { return find(textBoxes_, name); }
SimMenuEntry* SimWindow::menuEntry(std::string_view name) { return find(menuEntries_, name); }
SimPanel* SimWindow::panel(std::string_view name) { return find(panels_, name); }
SimLabel* SimWindow::label(std::string_view name) { return find(labels_, name); }
bool SimWindow::hasButton(std::string_view name) const { return buttons_.contains(name); }

SimTextBox& SimControlLookup::textBox(std::string_view name) {
  return require(window_.textBox(name), name);
}
SimPanel& SimControlLookup::panel(std::string_view name) {
  return require(window_.panel(name), name);
}
SimMenuEntry& SimControlLookup::menuEntry(std::string_view name) {
  return require(window_.menuEntry(name), name);
}
SimLabel& SimControlLookup::label(std::string_view name) {
  return require(window_.label(name), name);
}

}  // namespace tollivane::frontend::sim
