#include "frontend/sim/sim_shell.hpp"

#include "app/frm_about.hpp"
#include "frontend/sim/host_files.hpp"
#include "frontend/sim/sim_text.hpp"

namespace tollivane::frontend::sim {

SimShell::SimShell(std::string folder, SimClock& clock, SimWindow& about)
    : folder_(std::move(folder)), host_(hostFiles()), clock_(clock), about_(about) {}

bool SimShell::fileExists(const std::string& path) { return host_->fileExists(path); }

std::optional<std::string> SimShell::readFile(const std::string& path) {
  return host_->readFile(path);
}

std::string SimShell::replaceFile(const std::string& path, std::string_view bytes) {
  if (!replaceFailure_.empty()) return replaceFailure_;
  return host_->replaceFile(path, bytes);
}

std::string SimShell::updateFile(const std::string& path, const FileEdit& edit) {
  // An update that changes nothing writes nothing, so it cannot fail.
  if (!replaceFailure_.empty()) {
    return edit(host_->readFile(path)) ? replaceFailure_ : "";
  }
  return host_->updateFile(path, edit);
}

void SimShell::messageBox(std::string_view prompt, app::MessageIcon icon, std::string_view title) {
  messageBoxes_.push_back({std::string(prompt), icon, std::string(title)});
  report("msgbox " + quote(prompt));
}

void SimShell::showAboutModal() {
  // Each showing is a freshly loaded window.
  about_.reset();
  app::frmAbout::Form_Load(aboutWindowControls(about_));
  aboutOpen_ = true;
  report("about open");
}

void SimShell::unloadAbout() {
  if (!aboutOpen_) return;
  aboutOpen_ = false;
  about_.reset();
  report("about closed");
}

void SimShell::reportRuntimeError(int number, std::string_view description) {
  runtimeErrors_.push_back({number, std::string(description)});
  report("error " + std::to_string(number) + " " + std::string(description));
}

void SimShell::endProgram() {
  if (ended_) return;
  ended_ = true;
  clock_.stopAll();
  report("end");
}

void SimShell::report(std::string_view line) {
  if (onEvent) onEvent(line);
}

}  // namespace tollivane::frontend::sim
