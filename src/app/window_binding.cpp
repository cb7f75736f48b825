#include "app/window_binding.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace tollivane::app {
namespace {

// Checks each name against the window's table before the front end is asked for it, so that a
// table and the logic that disagree fail at start-up with the name in the message.
class Binder {
 public:
  Binder(const ui::WindowLayout& layout, std::string_view window, ControlLookup& lookup)
      : layout_(layout), window_(window), lookup_(lookup) {}

  Timer& timer(WindowTimers& timers, std::string_view name) {
    if (std::ranges::find(layout_.timers, name) == layout_.timers.end()) missing("timer", name);
    return timers.timer(name);
  }
  TextBox& textBox(std::string_view name) {
    const ui::ControlLayout* c = ui::findControl(layout_, name);
    if (!c || (c->kind != ui::ControlKind::TextBox && c->kind != ui::ControlKind::HotKeyCapture))
      missing("text box", name);
    return lookup_.textBox(name);
  }
  Panel& panel(std::string_view name) {
    require(ui::ControlKind::Panel, "panel", name);
    return lookup_.panel(name);
  }
  Label& label(std::string_view name) {
    require(ui::ControlKind::Label, "label", name);
    return lookup_.label(name);
  }
  MenuEntry& menuEntry(std::string_view name) {
    const auto entry = std::ranges::find(layout_.menu, name, &ui::MenuEntryLayout::name);
    if (entry == layout_.menu.end() || entry->caption == "-") missing("menu entry", name);
    return lookup_.menuEntry(name);
  }

 private:
  void require(ui::ControlKind kind, std::string_view what, std::string_view name) {
    const ui::ControlLayout* c = ui::findControl(layout_, name);
    if (!c || c->kind != kind) missing(what, name);
  }
  [[noreturn]] void missing(std::string_view what, std::string_view name) const {
    throw std::logic_error("the " + std::string(window_) + "'s table has no " + std::string(what) +
                           " " + std::string(name));
  }

  const ui::WindowLayout& layout_;
  std::string_view window_;
  ControlLookup& lookup_;
};

}  // namespace

MainWindowControls bindMainWindow(ControlLookup& window, WindowTimers& timers,
                                  const ui::WindowLayout& table) {
  Binder w(table, "main window", window);
  return {
      .Timer1 = w.timer(timers, "Timer1"),
      .Timer2 = w.timer(timers, "Timer2"),
      .qvHotKey1 = w.textBox("qvHotKey1"),
      .qvHotKey2 = w.textBox("qvHotKey2"),
      .qvHotKey3 = w.textBox("qvHotKey3"),
      .txtX = w.textBox("txtX"),
      .txtY = w.textBox("txtY"),
      .Frame1 = w.panel("Frame1"),
      .Frame2 = w.panel("Frame2"),
      .mnuHotkeys = w.menuEntry("mnuHotkeys"),
      .mnuPosition = w.menuEntry("mnuPosition"),
      .mnuOverlayWindow = w.menuEntry("mnuOverlayWindow"),
      .mnuScaleToGame = w.menuEntry("mnuScaleToGame"),
      .mnuDesktopShortcuts = w.menuEntry("mnuDesktopShortcuts"),
  };
}

AboutWindowControls bindAboutWindow(ControlLookup& window, const ui::WindowLayout& table) {
  Binder w(table, "About window", window);
  return {.lblDescription = w.label("lblDescription")};
}

}  // namespace tollivane::app
