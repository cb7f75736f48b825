#include "frontend/sim/sim_dialogs.hpp"

#include "frontend/sim/sim_text.hpp"

namespace tollivane::frontend::sim {
namespace {

app::AboutWindowControls bindAbout(SimWindow& about) {
  SimControlLookup lookup(about);
  return app::bindAboutWindow(lookup);
}

}  // namespace

SimDialogs::SimDialogs(platform::sim::SimClock& clock, SimWindow& about)
    : clock_(clock), about_(about), aboutControls_(bindAbout(about)) {}

void SimDialogs::messageBox(std::string_view prompt, app::MessageIcon icon,
                            std::string_view title) {
  messageBoxes_.push_back({std::string(prompt), icon, std::string(title)});
  report("msgbox " + quote(prompt));
}

void SimDialogs::showAboutModal() {
  if (events_ == nullptr) return;
  // Each showing is a freshly loaded window.
  about_.reset();
  aboutOpen_ = true;
  events_->fire(app::kAboutWindow, app::Event::Load);
  report("about open");
}

void SimDialogs::unloadAbout() {
  if (!aboutOpen_) return;
  aboutOpen_ = false;
  about_.reset();
  report("about closed");
}

void SimDialogs::reportRuntimeError(int number, std::string_view description) {
  runtimeErrors_.push_back({number, std::string(description)});
  report("error " + std::to_string(number) + " " + std::string(description));
}

void SimDialogs::endProgram() {
  if (ended_) return;
  ended_ = true;
  clock_.stopAll();
  report("end");
}

void SimDialogs::report(std::string_view line) {
  if (onEvent) onEvent(line);
}

}  // namespace tollivane::frontend::sim
