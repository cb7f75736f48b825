#include "frontend/sim/scenario_runner.hpp"

#include <cstdint>
#include <vector>

#include "frontend/sim/scenario_pads.hpp"
#include "frontend/sim/scenario_words.hpp"
#include "frontend/sim/sim_text.hpp"

namespace tollivane::frontend::sim {

namespace {

// About 31 years: far beyond any run, and far from overflowing the clock.
constexpr std::int64_t kLongestWait = 1'000'000'000'000;

}  // namespace

ScenarioRunner::ScenarioRunner(SimDesktop& sim, std::FILE* out) : sim_(sim), app_(sim), out_(out) {
  sim_.dialogs().onEvent = [this](std::string_view line) { writeLine(line); };
  sim_.steering().onDraw(
      [this](const platform::sim::DrawnText& d, bool intoOwnWindow) { writeDraw(d, intoOwnWindow); });
}

void ScenarioRunner::writeDraw(const platform::sim::DrawnText& d, bool intoOwnWindow) {
  // Moves the surface makes by itself; those the user asks for show in Sim.OwnWindow.
  const bool chosen = sim_.steering().chosen().ownWindowChosen();
  if (intoOwnWindow != drewIntoOwnWindow_ && !chosen && !ownWindowChosen_) {
    writeLine((intoOwnWindow ? "into own window over " : "out of own window onto ") +
              std::to_string(d.window));
  }
  drewIntoOwnWindow_ = intoOwnWindow;
  ownWindowChosen_ = chosen;
  writeLine("draw " + std::to_string(d.window) + " " + std::to_string(d.rect.Left) + " " +
            std::to_string(d.rect.Top) + " " + std::to_string(d.rect.Right) + " " +
            std::to_string(d.rect.Bottom) + " " + quote(d.text));
}

void ScenarioRunner::writeLine(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), out_);
  std::fputc('\n', out_);
}

bool ScenarioRunner::execute(std::string_view line) {
  const std::vector<Word> words = splitWords(line);
  if (words.empty()) return false;
  const std::string_view command = words[0].text;
  const std::size_t args = words.size() - 1;
  const auto known = [](SimApp::Input input) { return input != SimApp::Input::Unknown; };

  if (command == "load" && args == 0) return known(app_.load());
  if (command == "close" && args == 0) return known(app_.close());
  if (command == "click" && args == 1) return known(app_.click(words[1].text));
  if (command == "text" && args >= 1) {
    const std::size_t valueStart = words[1].end + 1;
    const std::string_view value = valueStart <= line.size() ? line.substr(valueStart) : "";
    return known(app_.setText(words[1].text, value));
  }
  if (command == "keydown" && args == 3) {
    const auto code = parseNumber<std::int16_t>(words[2].text);
    const auto mask = parseNumber<std::int16_t>(words[3].text);
    if (!code || !mask) return false;
    return known(app_.keyDown(words[1].text, *code, *mask));
  }
  if (command == "down") {
    std::vector<int> codes;
    for (std::size_t i = 1; i < words.size(); ++i) {
      const auto code = parseNumber<std::int16_t>(words[i].text);
      if (!code) return false;
      codes.push_back(*code);
    }
    sim_.steering().hold(codes);
    return true;
  }
  if (command == "tap" && args == 1) {
    const auto code = parseNumber<std::int16_t>(words[1].text);
    if (!code) return false;
    sim_.steering().tap(*code);
    return true;
  }
  if (command == "fg" && args == 1) {
    const auto window = parseNumber<platform::WindowHandle>(words[1].text);
    if (!window) return false;
    sim_.steering().setForeground(*window);
    return true;
  }
  if (command == "repaint" && args == 1 && (words[1].text == "on" || words[1].text == "off")) {
    sim_.steering().setRepainting(words[1].text == "on");
    return true;
  }
  if (command == "command" && args == 1) {
    writeLine(sim_.steering().command(words[1].text) ? "command taken" : "command refused");
    return true;
  }
  if (command == "wait" && args == 1) {
    const auto ms = parseNumber<std::int64_t>(words[1].text, 0);
    if (!ms || *ms > kLongestWait) return false;
    sim_.steering().advance(*ms);
    return true;
  }
  if (command == "focus" && args <= 1) return known(app_.focus(args == 1 ? words[1].text : ""));
  if (const auto pad = padCommand(words, sim_.steering().pads())) return *pad;
  if (command == "print" && args == 1) return print(words[1].text);
  if (command == "ini" && args == 0) {
    printSettingsFile();
    return true;
  }
  return false;
}

bool ScenarioRunner::run(std::istream& in, std::FILE* errors) {
  std::string line;
  while (std::getline(in, line)) {
    if (ended()) continue;
    const std::optional<std::string_view> command = commandLine(line);
    if (command && !execute(*command)) {
      std::fflush(out_);
      // Up to the first NUL, like any C text.
      std::fprintf(errors, "bad command: %s\n", std::string(*command).c_str());
    }
  }
  std::fflush(out_);
  return !in.bad();
}

}  // namespace tollivane::frontend::sim
