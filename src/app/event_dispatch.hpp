// Runs one event handler; a run-time error that no handler caught is reported and ends
// the program, as every front end must.
#pragma once

#include <utility>

#include "common/runtime_error.hpp"
#include "platform/platform.hpp"

namespace tollivane::app {

template <class Handler>
void dispatch(platform::Shell& shell, Handler&& handler) {
  try {
    std::forward<Handler>(handler)();
  } catch (const RuntimeError& e) {
    shell.reportRuntimeError(e.number(), e.description());
    shell.endProgram();
  }
}

}  // namespace tollivane::app
