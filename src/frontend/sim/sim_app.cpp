#include "frontend/sim/sim_app.hpp"

#include "ui/layout.hpp"

namespace tollivane::frontend::sim {

using app::Event;

SimApp::SimApp(SimDesktop& sim)
    : sim_(sim),
      lookup_(sim.mainWindow()),
      wiring_(sim.platform(), sim.dialogs(), lookup_, sim.mainWindow().timers()),
      events_(wiring_.events()) {
  sim_.dialogs().setEvents(&events_);
}

SimApp::~SimApp() { sim_.dialogs().setEvents(nullptr); }

bool SimApp::takesInput() const {
  return loaded_ && !sim_.dialogs().ended() && !sim_.dialogs().aboutOpen();
}

bool SimApp::reachable(std::string_view name) {
  // A control inside a hidden panel can be neither clicked nor typed into.
  const ui::ControlLayout* control = ui::findControl(ui::mainWindowLayout(), name);
  if (!control || control->parent.empty()) return true;
  const SimPanel* panel = sim_.mainWindow().panel(control->parent);
  return !panel || panel->visible();
}

SimApp::Input SimApp::load() {
  if (loaded_ || sim_.dialogs().ended()) return Input::Ignored;
  loaded_ = true;
  events_.fire(app::kMainWindow, Event::Load);
  events_.fire(app::kMainWindow, Event::Shown);
  // Commands are taken once the window has loaded, as the programs take them.
  const app::Form1Record& record = form().record();
  sim_.assembly().pressBindingsOf(record.HotKeyCodes, record.HotKeyShifts);
  return Input::Handled;
}

SimApp::Input SimApp::close() {
  if (!takesInput()) return Input::Ignored;
  events_.fire(app::kMainWindow, Event::QueryUnload);
  return Input::Handled;
}

SimApp::Input SimApp::click(std::string_view name) {
  if (sim_.aboutWindow().hasButton(name)) {
    if (sim_.dialogs().ended() || !sim_.dialogs().aboutOpen()) return Input::Ignored;
    events_.fire(name, Event::Click);
    return Input::Handled;
  }
  return clickMain(name);
}

SimApp::Input SimApp::clickMain(std::string_view name) {
  if (!app::EventTable::lists(name, Event::Click)) return Input::Unknown;
  if (!takesInput() || !reachable(name)) return Input::Ignored;
  events_.fire(name, Event::Click);
  // A box in a panel just hidden loses the focus with it.
  for (const ui::ControlLayout& c : ui::mainWindowLayout().controls) {
    if (c.kind == ui::ControlKind::HotKeyCapture && !reachable(c.name)) {
      events_.focus(c.name, false);
    }
  }
  return Input::Handled;
}

SimApp::Input SimApp::setText(std::string_view name, std::string_view text) {
  const ui::ControlLayout* box = ui::findControl(ui::mainWindowLayout(), name);
  if (!box || box->kind != ui::ControlKind::TextBox) return Input::Unknown;
  if (!takesInput() || !reachable(name)) return Input::Ignored;
  sim_.mainWindow().textBox(name)->setText(text);
  return Input::Handled;
}

SimApp::Input SimApp::keyDown(std::string_view name, std::int16_t keyCode, std::int16_t shift) {
  if (!captureControl(name)) return Input::Unknown;
  if (!takesInput() || !reachable(name)) return Input::Ignored;
  events_.keyDown(name, keyCode, shift);
  return Input::Handled;
}

SimApp::Input SimApp::focus(std::string_view name) {
  if (!name.empty() && !captureControl(name)) return Input::Unknown;
  if (!takesInput() || (!name.empty() && !reachable(name))) return Input::Ignored;
  if (name.empty()) {
    wiring_.form().captureFocus(nullptr);
  } else {
    events_.focus(name, true);
  }
  return Input::Handled;
}

controls::qvHotKey* SimApp::captureControl(std::string_view name) {
  return events_.captureControl(name);
}

}  // namespace tollivane::frontend::sim
