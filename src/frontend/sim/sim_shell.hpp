// The program's surroundings in the simulation: a real folder for the settings file, and
// dialogs, errors and the program's end recorded and reported as event lines.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/window_controls.hpp"
#include "frontend/sim/sim_clock.hpp"
#include "frontend/sim/sim_window.hpp"
#include "platform/platform.hpp"

namespace tollivane::frontend::sim {

struct MessageBoxShown {
  std::string prompt;
  app::MessageIcon icon;
  std::string title;
};

struct RuntimeErrorReported {
  int number;
  std::string description;
};

// The real files of a folder (through the host OS's adapter), with saves that can be made to fail;
// and the dialogs.
class SimShell : public platform::Files, public app::WindowShell {
 public:
  // `folder` is the program folder (an existing folder); `about` the About window to load.
  SimShell(std::string folder, SimClock& clock, SimWindow& about);

  std::string programFolder() override { return folder_; }
  char pathSeparator() const override { return '/'; }
  bool fileExists(const std::string& path) override;
  std::optional<std::string> readFile(const std::string& path) override;
  std::string replaceFile(const std::string& path, std::string_view bytes) override;
  std::string updateFile(const std::string& path, const FileEdit& edit) override;
  void messageBox(std::string_view prompt, app::MessageIcon icon, std::string_view title) override;
  void showAboutModal() override;
  void unloadAbout() override;
  void reportRuntimeError(int number, std::string_view description) override;
  void endProgram() override;
  bool ended() const override { return ended_; }

  // Every event as one line: `msgbox "PROMPT"`, `about open`, `about closed`,
  // `error NUMBER DESCRIPTION`, `end`.
  std::function<void(std::string_view)> onEvent;

  // Non-empty: replaceFile and updateFile write nothing and give this reason.
  void failReplaceWith(std::string reason) { replaceFailure_ = std::move(reason); }

  const std::vector<MessageBoxShown>& messageBoxes() const { return messageBoxes_; }
  const std::vector<RuntimeErrorReported>& runtimeErrors() const { return runtimeErrors_; }
  bool aboutOpen() const { return aboutOpen_; }

 private:
  void report(std::string_view line);

  std::string folder_;
  std::unique_ptr<platform::Files> host_;
  SimClock& clock_;
  SimWindow& about_;
  std::string replaceFailure_;
  std::vector<MessageBoxShown> messageBoxes_;
  std::vector<RuntimeErrorReported> runtimeErrors_;
  bool aboutOpen_ = false;
  bool ended_ = false;
};

}  // namespace tollivane::frontend::sim
