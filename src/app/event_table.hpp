// The one routing of window events to their handlers, shared by every front end: a control's
// name and an event lead to Form1's handler (or frmAbout's), run inside the run-time error
// boundary. Nothing runs once the program has ended, nor from the moment a run-time error is
// caught: not while its report waits for the user either.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

#include "app/event_dispatch.hpp"
#include "app/form1.hpp"
#include "app/timer_group.hpp"
#include "app/window_controls.hpp"
#include "platform/platform.hpp"

namespace tollivane::app {

enum class Event { Load, Shown, QueryUnload, Timer, Click };

// The windows themselves, as the sources of their own events.
inline constexpr std::string_view kMainWindow = "Form";
inline constexpr std::string_view kAboutWindow = "frmAbout";

struct EventRoute {
  std::string_view control;  // a control's name, or one of the windows above
  Event event;
  void (*handler)(Form1& form, WindowShell& shell);
};

class EventTable {
 public:
  // `runs` hears of every handler run; `timers`, when given, halt with the table.
  EventTable(Form1& form, WindowShell& shell, platform::RunObserver& runs,
             TimerGroup* timers = nullptr)
      : form_(form), shell_(shell), runs_(runs), timers_(timers) {}

  // Every route, in the order the windows list their controls.
  static std::span<const EventRoute> routes();
  static bool lists(std::string_view control, Event event);
  // The route of `control`'s `event`, or nullptr: found once where a source is wired.
  static const EventRoute* route(std::string_view control, Event event);

  // Runs the handler of `control`'s `event`; an event without a route does nothing.
  void fire(std::string_view control, Event event);
  void fire(const EventRoute& route) {
    run([this, &route] { route.handler(form_, shell_); });
  }
  // The key-down of a capture control's inner box; other names do nothing.
  void keyDown(std::string_view control, std::int16_t keyCode, std::int16_t shift);
  // The keyboard focus comes to (`has`) or leaves a capture control's inner box; other names
  // do nothing. No handler runs: Timer1 reads the pads for the box while it has the focus.
  void focus(std::string_view control, bool has);
  // The capture control named qvHotKey1..qvHotKey3, or nullptr.
  controls::qvHotKey* captureControl(std::string_view name);

  // Runs a handler inside the run-time error boundary, as one handler run.
  template <class Handler>
  void run(Handler&& handler) {
    if (halted_ || shell_.ended()) return;
    dispatch(
        shell_, [this] { halt(); }, std::forward<Handler>(handler));
    if (shell_.ended()) halt();
    runs_.runEnds(form_.framesComing());
  }

 private:
  void halt();

  Form1& form_;
  WindowShell& shell_;
  platform::RunObserver& runs_;
  TimerGroup* timers_;
  bool halted_ = false;
};

}  // namespace tollivane::app
