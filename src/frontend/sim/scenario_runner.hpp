// The scenario runner behind tollivane-sim: carries out scenario commands on the simulated
// desktop and writes what happens, one line each. The command language is described in
// docs/scenarios.md.
#pragma once

#include <cstdio>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "frontend/sim/sim_app.hpp"
#include "frontend/sim/sim_desktop.hpp"

namespace tollivane::frontend::sim {

class ScenarioRunner {
 public:
  // Writes every event, drawn text and printed value to `out`.
  ScenarioRunner(SimDesktop& sim, std::FILE* out);
  ScenarioRunner(const ScenarioRunner&) = delete;
  ScenarioRunner& operator=(const ScenarioRunner&) = delete;

  bool ended() const { return sim_.dialogs().ended(); }

  // Carries out one command. False when the line is no command this runner knows or its
  // arguments are malformed.
  bool execute(std::string_view line);

  // Carries out each command line of `in` (blank lines and comments skipped) until the
  // program ends; after that the rest is read and ignored. A line that is no command is
  // reported on `errors`. False when reading `in` failed.
  bool run(std::istream& in, std::FILE* errors);

 private:
  void writeLine(std::string_view line);
  void writeDraw(const platform::sim::DrawnText& d, bool intoOwnWindow);
  bool print(std::string_view name);
  std::optional<std::string> recordField(std::string_view name);
  std::optional<std::string> controlProperty(std::string_view control, std::string_view property);
  void printSettingsFile();

  SimDesktop& sim_;
  SimApp app_;
  std::FILE* out_;
  // Where the last text went, and whether the user had chosen the window of our own then.
  bool drewIntoOwnWindow_ = false;
  bool ownWindowChosen_ = false;
};

}  // namespace tollivane::frontend::sim
