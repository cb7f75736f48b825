// What tests and the scenario runner do to the simulated machine, and what they read back
// from it. The program's logic never sees this: it reaches the machine through platform.hpp.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>

#include "platform/platform.hpp"
#include "platform/sim/sim_keyboard.hpp"
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
  // Told of every text drawn, while set.
  virtual void onDraw(std::function<void(const DrawnText&)> observer) = 0;

  // Non-empty: every save writes nothing and fails with this reason.
  virtual void failSavesWith(std::string reason) = 0;

  // The key-state queries and the drawing calls, as recorded.
  virtual const SimKeyboard& keyboard() const = 0;
  virtual const SimSurface& surface() const = 0;

  // The game controllers: plugged in and out, their buttons pressed and released.
  virtual SimPads& pads() = 0;
  virtual const SimPads& pads() const = 0;
};

}  // namespace tollivane::platform::sim
