#include "frontend/win32/win32_window_controls.hpp"

#include <stdexcept>

namespace tollivane::frontend::win32 {
namespace {

template <class T, class Make>
T& made(std::map<std::string, std::unique_ptr<T>, std::less<>>& named, std::string_view name,
        Make&& make) {
  auto it = named.find(name);
  if (it == named.end()) it = named.emplace(std::string(name), make()).first;
  return *it->second;
}

template <class T>
T& added(const std::map<std::string, std::unique_ptr<T>, std::less<>>& named, std::string_view name,
         std::string_view kind) {
  const auto it = named.find(name);
  if (it == named.end())
    throw std::logic_error("no " + std::string(kind) + " " + std::string(name));
  return *it->second;
}

}  // namespace

void Win32WindowControls::addMenuEntry(std::string_view name,
                                       std::unique_ptr<Win32MenuEntry> entry) {
  menuEntries_.emplace(std::string(name), std::move(entry));
}

void Win32WindowControls::addTimer(std::string_view name, std::unique_ptr<Win32Timer> timer) {
  timers_.emplace(std::string(name), std::move(timer));
}

Win32Timer& Win32WindowControls::timer(std::string_view name) {
  return added(timers_, name, "timer");
}

app::TextBox& Win32WindowControls::textBox(std::string_view name) {
  return made(textBoxes_, name,
              [&] { return std::make_unique<Win32TextBox>(windows_.window(name)); });
}

app::Panel& Win32WindowControls::panel(std::string_view name) {
  return made(panels_, name,
              [&] { return std::make_unique<Win32Panel>(windows_.panelContents(name)); });
}

app::MenuEntry& Win32WindowControls::menuEntry(std::string_view name) {
  return added(menuEntries_, name, "menu entry");
}

app::Label& Win32WindowControls::label(std::string_view name) {
  return made(labels_, name, [&] { return std::make_unique<Win32Label>(windows_.window(name)); });
}

}  // namespace tollivane::frontend::win32
