// The adapters a front end keeps for a window's controls, by the names of the window's table:
// made on first lookup over the widgets built from the table, or added by the window itself
// (menu entries, timers).
#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace tollivane::app {

template <class Control>
class NamedControls {
 public:
  // The control called `name`, made by `make` (which gives a std::unique_ptr) the first time.
  template <class Make>
  Control& made(std::string_view name, Make&& make) {
    auto it = named_.find(name);
    if (it == named_.end())
      it = named_.emplace(std::string(name), std::forward<Make>(make)()).first;
    return *it->second;
  }
  void add(std::string_view name, std::unique_ptr<Control> control) {
    named_.emplace(std::string(name), std::move(control));
  }
  // The control added as `name`; std::logic_error naming it when there is none.
  Control& added(std::string_view name, std::string_view kind) const {
    const auto it = named_.find(name);
    if (it == named_.end())
      throw std::logic_error("no " + std::string(kind) + " " + std::string(name));
    return *it->second;
  }

 private:
  std::map<std::string, std::unique_ptr<Control>, std::less<>> named_;
};

}  // namespace tollivane::app
