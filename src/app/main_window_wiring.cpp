#include "app/main_window_wiring.hpp"

namespace tollivane::app {

MainWindowWiring::MainWindowWiring(platform::Platform& platform, WindowShell& shell,
                                   ControlLookup& controls, WindowTimers& timers)
    : timers_(timers),
      form_(platform, shell, bindMainWindow(controls, timers)),
      events_(form_, shell, platform.runs, &timers.group()) {
  for (const std::string_view name : ui::mainWindowLayout().timers) {
    // Found here, once: a tick goes straight to its handler.
    if (const EventRoute* route = EventTable::route(name, Event::Timer)) {
      timers_.timer(name).setOnTick([this, route] { events_.fire(*route); });
    }
  }
}

MainWindowWiring::~MainWindowWiring() {
  for (const std::string_view name : ui::mainWindowLayout().timers) {
    timers_.timer(name).setOnTick({});
  }
}

}  // namespace tollivane::app
