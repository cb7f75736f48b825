#include "app/window_timers.hpp"

#include <stdexcept>
#include <string>

namespace tollivane::app {

WindowTimers::WindowTimers(const ui::WindowLayout& table, SystemTimer& system)
    : table_(table), group_(system) {
  for (std::size_t i = 0; i < table_.timers.size(); ++i) {
    timers_.push_back(std::make_unique<GroupTimer>(group_));
  }
}

GroupTimer* WindowTimers::find(std::string_view name) {
  for (std::size_t i = 0; i < table_.timers.size(); ++i) {
    if (table_.timers[i] == name) return timers_[i].get();
  }
  return nullptr;
}

GroupTimer& WindowTimers::timer(std::string_view name) {
  if (GroupTimer* t = find(name)) return *t;
  throw std::logic_error("no timer " + std::string(name));
}

}  // namespace tollivane::app
