#include "app/form1.hpp"

#include "common/runtime_error.hpp"
#include "common/values.hpp"
#include "stopwatch/clock.hpp"
#include "stopwatch/hotkey_poller.hpp"
#include "stopwatch/overlay_renderer.hpp"

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

void Form1::Timer1_Timer() {
  switch (stopwatch::pollHotkeys(p_.keys, r_.HotKeyCodes, r_.HotKeyShifts)) {
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
  }
}

void Form1::fun_UpdatePos() { r_.OverlayRect = stopwatch::overlayRectFor(r_.PosX, r_.PosY); }

namespace {

struct PanelEntry {
  MenuEntry& entry;
  Panel& panel;
  std::string_view editCaption;
  std::string_view hideCaption;
};

// Shows or hides one panel by its menu entry; showing it hides the other, so that at most
// one panel is ever shown.
void togglePanel(const PanelEntry& own, const PanelEntry& other) {
  const bool shown = own.entry.checked();
  if (shown) {
    own.entry.setCaption(own.editCaption);
  } else {
    own.entry.setCaption(own.hideCaption);
    other.panel.setVisible(false);
    other.entry.setChecked(false);
    other.entry.setCaption(other.editCaption);
  }
  own.panel.setVisible(!shown);
  own.entry.setChecked(!shown);
}

}  // namespace

void Form1::mnuHotkeys_Click() {
  togglePanel({c_.mnuHotkeys, c_.Frame1, "Edit hotkeys", "Hide hotkeys"},
              {c_.mnuPosition, c_.Frame2, "Edit positions", "Hide positions"});
}

void Form1::mnuPosition_Click() {
  togglePanel({c_.mnuPosition, c_.Frame2, "Edit positions", "Hide positions"},
              {c_.mnuHotkeys, c_.Frame1, "Edit hotkeys", "Hide hotkeys"});
}

void Form1::mnuAbout_Click() { shell_.showAboutModal(); }

}  // namespace tollivane::app
