// The one routing of window events to their handlers, shared by every front end: a control's
// name and an event lead to Form1's handler (or frmAbout's), run inside the run-time error
// boundary. Nothing runs once the program has ended.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <utility>

#include "app/event_dispatch.hpp"
#include "app/form1.hpp"
#include "app/window_controls.hpp"

namespace tollivane::app {

enum class Event { Load, Shown, QueryUnload, Timer, Click };

// The windows themselves, as the sources of their own events.
inline constexpr std::string_view kMainWindow = "Form";

struct EventRoute {
  std::string_view control;  // a control's name, or one of the windows above
  Event event;
  void (*handler)(Form1& form, WindowShell& shell);
};

class EventTable {
 public:
  EventTable(Form1& form, WindowShell& shell) : form_(form), shell_(shell) {}

  // Every route, in the order the windows list their controls.
  static std::span<const EventRoute> routes();
  static bool lists(std::string_view control, Event event);

  // Runs the handler of `control`'s `event`; an event without a route does nothing.
  void fire(std::string_view control, Event event);
  // The key-down of a capture control's inner box; other names do nothing.
  void keyDown(std::string_view control, std::int16_t keyCode, std::int16_t shift);
  // The capture control named qvHotKey1..qvHotKey3, or nullptr.
  controls::qvHotKey* captureControl(std::string_view name);

  // Runs other code of the windows (the About window's load) inside the same boundary.
  template <class Handler>
  void run(Handler&& handler) {
    if (shell_.ended()) return;
    if (runStarts_) runStarts_();
    dispatch(shell_, std::forward<Handler>(handler));
    form_.handlerRunEnded();
  }

  // Called as each handler run begins, so that an adapter may drop what it keeps for one run
  // (the X key state reads the keyboard once per run).
  void setRunStarts(std::function<void()> runStarts) { runStarts_ = std::move(runStarts); }

 private:
  Form1& form_;
  WindowShell& shell_;
  std::function<void()> runStarts_;
};

}  // namespace tollivane::app
