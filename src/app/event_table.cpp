#include "app/event_table.hpp"

#include "app/frm_about.hpp"

namespace tollivane::app {
namespace {

template <void (Form1::*Handler)()>
void call(Form1& form, WindowShell&) {
  (form.*Handler)();
}

constexpr EventRoute kRoutes[] = {
    {kMainWindow, Event::Load, call<&Form1::Form_Load>},
    {kMainWindow, Event::Shown, call<&Form1::Form_Shown>},
    {kMainWindow, Event::QueryUnload, call<&Form1::Form_QueryUnload>},
    {"Timer1", Event::Timer, call<&Form1::Timer1_Timer>},
    {"Timer2", Event::Timer, call<&Form1::Timer2_Timer>},
    {"Command1", Event::Click, call<&Form1::Command1_Click>},
    {"Command2", Event::Click, call<&Form1::Command2_Click>},
    {"Command3", Event::Click, call<&Form1::Command3_Click>},
    {"Command4", Event::Click, call<&Form1::Command4_Click>},
    {"mnuHotkeys", Event::Click, call<&Form1::mnuHotkeys_Click>},
    {"mnuPosition", Event::Click, call<&Form1::mnuPosition_Click>},
    {"mnuOverlayWindow", Event::Click, call<&Form1::mnuOverlayWindow_Click>},
    {"mnuScaleToGame", Event::Click, call<&Form1::mnuScaleToGame_Click>},
    {"mnuDesktopShortcuts", Event::Click, call<&Form1::mnuDesktopShortcuts_Click>},
    {"mnuAbout", Event::Click, call<&Form1::mnuAbout_Click>},
    {"mnuExit", Event::Click, call<&Form1::mnuExit_Click>},
    // The About window, while it loads or is open.
    {kAboutWindow, Event::Load,
     [](Form1&, WindowShell& shell) {
       if (const AboutWindowControls* about = shell.aboutControls()) frmAbout::Form_Load(*about);
     }},
    {"cmdOK", Event::Click, [](Form1&, WindowShell& shell) { frmAbout::cmdOK_Click(shell); }},
};

const EventRoute* find(std::string_view control, Event event) {
  for (const EventRoute& route : kRoutes) {
    if (route.control == control && route.event == event) return &route;
  }
  return nullptr;
}

}  // namespace

std::span<const EventRoute> EventTable::routes() { return kRoutes; }

bool EventTable::lists(std::string_view control, Event event) {
  return find(control, event) != nullptr;
}

const EventRoute* EventTable::route(std::string_view control, Event event) {
  return find(control, event);
}

void EventTable::fire(std::string_view control, Event event) {
  if (const EventRoute* route = find(control, event)) fire(*route);
}

void EventTable::halt() {
  halted_ = true;
  if (timers_ != nullptr) timers_->halt();
}

void EventTable::keyDown(std::string_view control, std::int16_t keyCode, std::int16_t shift) {
  if (controls::qvHotKey* box = captureControl(control)) {
    run([box, keyCode, shift] { box->t_KeyDown(keyCode, shift); });
  }
}

void EventTable::focus(std::string_view control, bool has) {
  controls::qvHotKey* box = captureControl(control);
  if (box == nullptr) return;
  if (has) {
    form_.captureFocus(box);
  } else if (form_.focusedCapture() == box) {
    form_.captureFocus(nullptr);
  }
}

controls::qvHotKey* EventTable::captureControl(std::string_view name) {
  if (name == "qvHotKey1") return &form_.qvHotKey1();
  if (name == "qvHotKey2") return &form_.qvHotKey2();
  if (name == "qvHotKey3") return &form_.qvHotKey3();
  return nullptr;
}

}  // namespace tollivane::app
