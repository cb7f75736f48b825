// Runs one event handler; a run-time error that no handler caught is reported and ends
// the program, as every front end must. Running out of memory is run-time error 7. `halt` runs
// before the report, which may wait for the user: no handler runs once it has.
#pragma once

#include <new>
#include <utility>

#include "app/window_controls.hpp"
#include "common/runtime_error.hpp"

namespace tollivane::app {

template <class Halt, class Handler>
void dispatch(WindowShell& shell, Halt&& halt, Handler&& handler) {
  try {
    std::forward<Handler>(handler)();
  } catch (const RuntimeError& e) {
    halt();
    shell.reportRuntimeError(e.number(), e.description());
    shell.endProgram();
  } catch (const std::bad_alloc&) {
    halt();
    shell.reportRuntimeError(kErrOutOfMemory, kOutOfMemoryText);
    shell.endProgram();
  }
}

}  // namespace tollivane::app
