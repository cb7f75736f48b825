#include "app/form1.hpp"

#include "common/runtime_error.hpp"
#include "common/values.hpp"
#include "stopwatch/clock.hpp"
#include "stopwatch/hotkey_poller.hpp"
#include "stopwatch/overlay_renderer.hpp"
#include "ui/layout.hpp"

namespace tollivane::app {

Form1::Form1(platform::Platform& platform, WindowShell& shell, const MainWindowControls& controls)
    : p_(platform),
      shell_(shell),
      c_(controls),
      qvHotKey1_(controls.qvHotKey1),
      qvHotKey2_(controls.qvHotKey2),
      qvHotKey3_(controls.qvHotKey3) {
  // Room for any clock text, so that the counting step never allocates.
  r_.TimeText.reserve(32);
}

void Form1::Form_QueryUnload() { fun_End(); }

void Form1::mnuExit_Click() { fun_End(); }

bool Form1::framesComing() const { return c_.Timer2.enabled() && !shell_.ended(); }

void Form1::fun_End() {
  c_.Timer1.setEnabled(false);
  c_.Timer2.setEnabled(false);
  p_.surface.DeleteObject(r_.BackBrush);
  shell_.endProgram();
}

void Form1::captureFocus(controls::qvHotKey* box) {
  if (box != nullptr && box != focusedCapture_) box->t_GotFocus();
  focusedCapture_ = box;
}

void Form1::Timer1_Timer() {
  // Read once for both: the poll and a capture control would otherwise split the presses.
  const auto pads =
      pads_.read(p_.pads, focusedCapture_ != nullptr || stopwatch::anyPadBinding(r_.PadBindings));
  const std::span<const pad::PadButtons> padStates =
      pads ? *pads : std::span<const pad::PadButtons>();
  switch (
      stopwatch::pollHotkeys(p_.keys, r_.HotKeyCodes, r_.HotKeyShifts, r_.PadBindings, padStates)) {
    case stopwatch::HotkeyAction::Start:
      funStart();
      break;
    case stopwatch::HotkeyAction::Pause:
      funPause();
      break;
    case stopwatch::HotkeyAction::Stop:
      funStop();
      break;
    case stopwatch::HotkeyAction::None:
      break;
  }
  if (focusedCapture_ != nullptr && pads) focusedCapture_->t_PadsRead(padStates);
  stopwatch::countingStep({r_.ElapsedSeconds, r_.IsRunning, r_.TimeText});
}

void Form1::Timer2_Timer() {
  stopwatch::drawOverlayFrame(p_.surface, r_.TimeText, r_.OverlayRect, {r_.TextColor, r_.BackBrush},
                              r_.OverlayDC);
}

void Form1::funStart() {
  r_.ElapsedSeconds = 0.0f;
  r_.IsRunning = kTrue;
  c_.Timer2.setEnabled(true);
}

void Form1::funPause() { r_.IsRunning = static_cast<std::int16_t>(~r_.IsRunning); }

void Form1::funStop() {
  r_.IsRunning = kFalse;
  c_.Timer2.setEnabled(false);
}

void Form1::fun_FillArrays() {
  controls::qvHotKey* const controls[] = {&qvHotKey1_, &qvHotKey2_, &qvHotKey3_};
  for (std::size_t i = 0; i < r_.HotKeyCodes.size(); ++i) {
    r_.HotKeyCodes[i] = controls[i]->qvGetHotKeyCode();
    r_.HotKeyShifts[i] = controls[i]->qvGetHotKeyShift();
    r_.PadBindings[i] = controls[i]->qvGetPadButtons();
  }
}

void Form1::fun_UpdatePos() { r_.OverlayRect = stopwatch::overlayRectFor(r_.PosX, r_.PosY); }

namespace {

struct PanelEntry {
  MenuEntry& entry;
  Panel& panel;
  const ui::MenuEntryLayout& captions;  // "Edit ..." while unchecked, "Hide ..." while checked
};

// The entry's captions come from the main window's table, which the binding checked lists it.
PanelEntry panelEntry(MenuEntry& entry, Panel& panel, std::string_view name) {
  return {entry, panel, *ui::findMenuEntry(ui::mainWindowLayout(), name)};
}

// Shows or hides one panel by its menu entry; showing it hides the other, so that at most
// one panel is ever shown.
void togglePanel(const PanelEntry& own, const PanelEntry& other) {
  const bool shown = own.entry.checked();
  if (shown) {
    own.entry.setCaption(own.captions.caption);
  } else {
    own.entry.setCaption(own.captions.checkedCaption);
    other.panel.setVisible(false);
    other.entry.setChecked(false);
    other.entry.setCaption(other.captions.caption);
  }
  own.panel.setVisible(!shown);
  own.entry.setChecked(!shown);
}

}  // namespace

void Form1::mnuHotkeys_Click() {
  togglePanel(panelEntry(c_.mnuHotkeys, c_.Frame1, "mnuHotkeys"),
              panelEntry(c_.mnuPosition, c_.Frame2, "mnuPosition"));
}

void Form1::mnuPosition_Click() {
  togglePanel(panelEntry(c_.mnuPosition, c_.Frame2, "mnuPosition"),
              panelEntry(c_.mnuHotkeys, c_.Frame1, "mnuHotkeys"));
}

void Form1::mnuAbout_Click() { shell_.showAboutModal(); }

}  // namespace tollivane::app
