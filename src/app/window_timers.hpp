// A window's timers, one per name of its table, in one group over the front end's system timer.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "app/system_timer.hpp"
#include "app/timer_group.hpp"
#include "ui/layout.hpp"

namespace tollivane::app {

class WindowTimers {
 public:
  WindowTimers(const ui::WindowLayout& table, SystemTimer& system);
  WindowTimers(const WindowTimers&) = delete;
  WindowTimers& operator=(const WindowTimers&) = delete;

  // The timer of that name, or nullptr when the table lists none.
  GroupTimer* find(std::string_view name);
  // As find, but a name the table lacks is a programming error: std::logic_error.
  GroupTimer& timer(std::string_view name);
  TimerGroup& group() { return group_; }

 private:
  const ui::WindowLayout& table_;
  TimerGroup group_;
  // Made in the table's order: at a shared phase point the first ticks first.
  std::vector<std::unique_ptr<GroupTimer>> timers_;
};

}  // namespace tollivane::app
