// What tests and the scenario runner do to the simulated machine, and what they read back
// from it. The program's logic never sees this: it reaches the machine through platform.hpp.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "platform/chosen_surface.hpp"
#include "platform/platform.hpp"
#include "platform/sim/sim_keyboard.hpp"
#include "platform/sim/sim_own_window.hpp"
#include "platform/sim/sim_pads.hpp"
#include "platform/sim/sim_surface.hpp"

namespace tollivane::platform::sim {

class SimSteering {
 public:
  virtual ~SimSteering() = default;

  // Moves virtual time on, running every tick that falls due on the way in time order.
  virtual void advance(std::int64_t milliseconds) = 0;
  virtual std::int64_t now() const = 0;

  // Holds exactly these keys and releases every other; empty releases all.
  virtual void hold(std::span<const int> codes) = 0;
  void hold(std::initializer_list<int> codes) { hold(std::span(codes.begin(), codes.size())); }
  // One press and release of the key since its last query.
  virtual void tap(int code) = 0;

  // The window in front; 1 at first, 0 for none.
  virtual void setForeground(WindowHandle window) = 0;
  // Whether the windows in front paint over what is drawn onto them, as games do; not at first.
  virtual void setRepainting(bool repainting) = 0;
  // Told of every text drawn, onto the window in front or into the window of our own, while set.
  virtual void onDraw(std::function<void(const DrawnText&, bool intoOwnWindow)> observer) = 0;

  // A command handed on by a later start (tollivane --start: "start"), as the single-instance
  // channel delivers it; true when it was taken.
  virtual bool command(std::string_view word) = 0;

  // Non-empty: every save writes nothing and fails with this reason.
  virtual void failSavesWith(std::string reason) = 0;

  // The key-state queries and the drawing calls, as recorded.
  virtual const SimKeyboard& keyboard() const = 0;
  virtual const SimSurface& surface() const = 0;
  virtual const SimOwnWindow& ownWindow() const = 0;
  // The way to the screen, as chosen between the two.
  virtual const ChosenSurface& chosen() const = 0;

  // The game controllers: plugged in and out, their buttons pressed and released.
  virtual SimPads& pads() = 0;
  virtual const SimPads& pads() const = 0;
};

}  // namespace tollivane::platform::sim
