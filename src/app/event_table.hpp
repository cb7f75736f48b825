// The one routing of window events to their handlers, shared by every front end: a control's
// name and an event lead to Form1's handler (or frmAbout's), run inside the run-time error
// boundary. Nothing runs once the program has ended.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

#include "app/event_dispatch.hpp"
#include "app/form1.hpp"
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
  // `runs` hears of every handler run.
  EventTable(Form1& form, WindowShell& shell, platform::RunObserver& runs)
      : form_(form), shell_(shell), runs_(runs) {}

  // Every route, in the order the windows list their controls.
  static std::span<const EventRoute> routes();
  static bool lists(std::string_view control, Event event);

  // Runs the handler of `control`'s `event`; an event without a route does nothing.
  void fire(std::string_view control, Event event);
  // The key-down of a capture control's inner box; other names do nothing.
  void keyDown(std::string_view control, std::int16_t keyCode, std::int16_t shift);
  // The capture control named qvHotKey1..qvHotKey3, or nullptr.
  controls::qvHotKey* captureControl(std::string_view name);

  // Runs a handler inside the run-time error boundary, as one handler run.
  template <class Handler>
  void run(Handler&& handler) {
    if (shell_.ended()) return;
    dispatch(shell_, std::forward<Handler>(handler));
    runs_.runEnds(form_.framesComing());
  }

 private:
  Form1& form_;
  WindowShell& shell_;
  platform::RunObserver& runs_;
};

}  // namespace tollivane::app
