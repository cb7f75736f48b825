// The main window wired as every front end wires it: its timers' ticks and its events go
// through the one event table to Form1's handlers, with the shell around them. A front end
// gives only its parts: the controls it built, the timers over its system timer, its shell.
#pragma once

#include "app/event_table.hpp"
#include "app/form1.hpp"
#include "app/window_binding.hpp"
#include "app/window_controls.hpp"
#include "app/window_timers.hpp"
#include "platform/platform.hpp"

namespace tollivane::app {

class MainWindowWiring {
 public:
  // `controls` and `timers` from the main window's table; `timers` halt with the event table.
  MainWindowWiring(platform::Platform& platform, WindowShell& shell, ControlLookup& controls,
                   WindowTimers& timers);
  ~MainWindowWiring();
  MainWindowWiring(const MainWindowWiring&) = delete;
  MainWindowWiring& operator=(const MainWindowWiring&) = delete;

  Form1& form() { return form_; }
  EventTable& events() { return events_; }

 private:
  WindowTimers& timers_;
  Form1 form_;
  EventTable events_;
};

}  // namespace tollivane::app
