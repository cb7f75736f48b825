// What the scenario runner's print and ini commands read back: the main window's state
// record, the simulated machine, and the controls of both windows.
#include <array>
#include <cstdint>
#include <cstdio>

#include "frontend/sim/scenario_runner.hpp"
#include "frontend/sim/sim_text.hpp"

namespace tollivane::frontend::sim {

namespace {

const char* trueFalse(bool b) { return b ? "True" : "False"; }

std::string threeNumbers(const std::array<std::int16_t, 3>& values) {
  return std::to_string(values[0]) + " " + std::to_string(values[1]) + " " +
         std::to_string(values[2]);
}

}  // namespace

bool ScenarioRunner::print(std::string_view name) {
  std::optional<std::string> value;
  if (const auto dot = name.find('.'); dot != std::string_view::npos) {
    value = controlProperty(name.substr(0, dot), name.substr(dot + 1));
  } else {
    value = recordField(name);
  }
  if (!value) return false;
  writeLine(std::string(name) + "=" + *value);
  return true;
}

std::optional<std::string> ScenarioRunner::recordField(std::string_view name) {
  const app::Form1Record& r = app_.form().record();
  if (name == "SettingsPath") return quote(r.SettingsPath);
  if (name == "ElapsedSeconds") {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(r.ElapsedSeconds));
    return text;
  }
  if (name == "HotKeyCodes") return threeNumbers(r.HotKeyCodes);
  if (name == "HotKeyShifts") return threeNumbers(r.HotKeyShifts);
  if (name == "PadBindings") {
    return std::to_string(r.PadBindings[0]) + " " + std::to_string(r.PadBindings[1]) + " " +
           std::to_string(r.PadBindings[2]);
  }
  if (name == "IsRunning") return std::to_string(r.IsRunning);
  if (name == "TimeText") return quote(r.TimeText);
  if (name == "OverlayRect") {
    const platform::Rect& o = r.OverlayRect;
    return std::to_string(o.Left) + " " + std::to_string(o.Top) + " " + std::to_string(o.Right) +
           " " + std::to_string(o.Bottom);
  }
  if (name == "OverlayDC") return std::to_string(r.OverlayDC);
  if (name == "PosX") return std::to_string(r.PosX);
  if (name == "PosY") return std::to_string(r.PosY);
  if (name == "TextColor") return std::to_string(r.TextColor);
  if (name == "BackBrush") return std::to_string(r.BackBrush);
  if (name == "OverlayWindow") return trueFalse(r.OverlayWindow);
  if (name == "ScaleToGame") return trueFalse(r.ScaleToGame);
  if (const app::GroupTimer* timer = sim_.mainWindow().timer(name))
    return timer->enabled() ? "on" : "off";
  return std::nullopt;
}

std::optional<std::string> ScenarioRunner::controlProperty(std::string_view control,
                                                           std::string_view property) {
  if (control == "Sim") {
    const platform::sim::SimSteering& machine = sim_.steering();
    if (property == "Time") return std::to_string(machine.now());
    if (property == "KeyQueries") return std::to_string(machine.keyboard().queries());
    if (property == "PadReads") return std::to_string(machine.pads().reads());
    if (property == "ContextsOut") {
      return std::to_string(machine.surface().contextsOut() +
                            machine.ownWindow().drawn().contextsOut());
    }
    if (property == "DrawCalls") {
      return std::to_string(machine.surface().calls().DrawTextA +
                            machine.ownWindow().drawn().calls().DrawTextA);
    }
    if (property == "OwnWindow") return trueFalse(machine.chosen().ownWindowChosen());
    if (property == "ScaleToGame") return trueFalse(machine.chosen().scalesToGame());
    if (property == "FramesComing") return trueFalse(machine.chosen().framesComing());
    return std::nullopt;
  }
  if (const app::GroupTimer* timer = sim_.mainWindow().timer(control)) {
    if (property == "Enabled") return trueFalse(timer->enabled());
    if (property == "Interval") return std::to_string(timer->interval());
    return std::nullopt;
  }
  if (const controls::qvHotKey* capture = app_.captureControl(control)) {
    if (property == "Text") return quote(capture->Text());
    if (property == "Code") return std::to_string(capture->qvGetHotKeyCode());
    if (property == "Shift") return std::to_string(capture->qvGetHotKeyShift());
    if (property == "Pad") return std::to_string(capture->qvGetPadButtons());
    return std::nullopt;
  }
  // Main-window controls first: both windows have a Frame1 and a Label1.
  for (SimWindow* window : {&sim_.mainWindow(), &sim_.aboutWindow()}) {
    if (const auto* box = window->textBox(control)) {
      if (property == "Text") return quote(box->text());
      return std::nullopt;
    }
    if (const auto* entry = window->menuEntry(control)) {
      if (property == "Caption") return quote(entry->caption());
      if (property == "Checked") return trueFalse(entry->checked());
      return std::nullopt;
    }
    if (const auto* panel = window->panel(control)) {
      if (property == "Visible") return trueFalse(panel->visible());
      if (property == "Caption") return quote(panel->caption());
      return std::nullopt;
    }
    if (const auto* label = window->label(control)) {
      if (property == "Caption") return quote(label->caption());
      return std::nullopt;
    }
  }
  return std::nullopt;
}

void ScenarioRunner::printSettingsFile() {
  // The file in use once start-up has chosen it, the one beside the program before.
  const std::string& inUse = app_.form().record().SettingsPath;
  const std::optional<std::string> bytes =
      sim_.platform().files.readFile(inUse.empty() ? sim_.settingsFile() : inUse);
  if (!bytes) {
    writeLine("ini absent");
    return;
  }
  std::fwrite(bytes->data(), 1, bytes->size(), out_);
}

}  // namespace tollivane::frontend::sim
