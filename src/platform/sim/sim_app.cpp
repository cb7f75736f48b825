#include "platform/sim/sim_app.hpp"

#include <utility>

#include "app/event_dispatch.hpp"
#include "ui/about/frm_about.hpp"
#include "ui/layout.hpp"

namespace tollivane::platform::sim {

SimApp::SimApp(SimPlatform& sim) : sim_(sim), form_(sim.platform(), sim.mainWindowControls()) {
  sim_.timer1().onTick = [this] { run([this] { form_.Timer1_Timer(); }); };
  sim_.timer2().onTick = [this] { run([this] { form_.Timer2_Timer(); }); };
}

template <class Handler>
void SimApp::run(Handler&& handler) {
  app::dispatch(sim_.shell(), std::forward<Handler>(handler));
}

bool SimApp::takesInput() const {
  return loaded_ && !sim_.shell().ended() && !sim_.shell().aboutOpen();
}

bool SimApp::reachable(std::string_view name) {
  // A control inside a hidden panel can be neither clicked nor typed into.
  const ui::ControlLayout* control = ui::findControl(ui::mainWindowLayout(), name);
  if (!control || control->parent.empty()) return true;
  const SimPanel* panel = sim_.mainWindow().panel(control->parent);
  return !panel || panel->visible();
}

SimApp::Input SimApp::load() {
  if (loaded_ || sim_.shell().ended()) return Input::Ignored;
  loaded_ = true;
  run([this] { form_.Form_Load(); });
  if (!sim_.shell().ended()) run([this] { form_.Form_Shown(); });
  return Input::Handled;
}

SimApp::Input SimApp::close() {
  if (!takesInput()) return Input::Ignored;
  run([this] { form_.Form_QueryUnload(); });
  return Input::Handled;
}

SimApp::Input SimApp::click(std::string_view name) {
  if (name == "cmdOK") {
    if (!sim_.aboutWindow().hasButton(name)) return Input::Unknown;
    if (sim_.shell().ended() || !sim_.shell().aboutOpen()) return Input::Ignored;
    run([this] { ui::frmAbout::cmdOK_Click(sim_.shell()); });
    return Input::Handled;
  }
  return clickMain(name);
}

SimApp::Input SimApp::clickMain(std::string_view name) {
  using Click = void (app::Form1::*)();
  static constexpr std::pair<std::string_view, Click> kClicks[] = {
      {"Command1", &app::Form1::Command1_Click},
      {"Command2", &app::Form1::Command2_Click},
      {"Command3", &app::Form1::Command3_Click},
      {"Command4", &app::Form1::Command4_Click},
      {"mnuHotkeys", &app::Form1::mnuHotkeys_Click},
      {"mnuPosition", &app::Form1::mnuPosition_Click},
      {"mnuAbout", &app::Form1::mnuAbout_Click},
      {"mnuExit", &app::Form1::mnuExit_Click},
  };
  for (const auto& [control, handler] : kClicks) {
    if (control != name) continue;
    if (!takesInput() || !reachable(name)) return Input::Ignored;
    run([this, handler = handler] { (form_.*handler)(); });
    return Input::Handled;
  }
  return Input::Unknown;
}

SimApp::Input SimApp::setText(std::string_view name, std::string_view text) {
  if (name != "txtX" && name != "txtY") return Input::Unknown;
  if (!takesInput() || !reachable(name)) return Input::Ignored;
  sim_.mainWindow().textBox(name)->setText(text);
  return Input::Handled;
}

SimApp::Input SimApp::keyDown(std::string_view name, std::int16_t keyCode, std::int16_t shift) {
  controls::qvHotKey* control = captureControl(name);
  if (!control) return Input::Unknown;
  if (!takesInput() || !reachable(name)) return Input::Ignored;
  run([control, keyCode, shift] { control->t_KeyDown(keyCode, shift); });
  return Input::Handled;
}

controls::qvHotKey* SimApp::captureControl(std::string_view name) {
  if (name == "qvHotKey1") return &form_.qvHotKey1();
  if (name == "qvHotKey2") return &form_.qvHotKey2();
  if (name == "qvHotKey3") return &form_.qvHotKey3();
  return nullptr;
}

}  // namespace tollivane::platform::sim
