// tollivane-sim: runs Tollivane on the simulated platform, driven by commands on standard
// input, and writes what happens to standard output. The command language is described in
// docs/scenarios.md.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/sim/sim_app.hpp"
#include "frontend/sim/sim_platform.hpp"
#include "frontend/sim/sim_text.hpp"
#include "standard_streams.hpp"

namespace {

using namespace tollivane;
using frontend::sim::quote;
using frontend::sim::SimApp;
using frontend::sim::SimPlatform;

void writeLine(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The words of a line, split at runs of blanks, each with where it ends in the line.
struct Word {
  std::string_view text;
  std::size_t end;
};

std::vector<Word> splitWords(std::string_view line) {
  std::vector<Word> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !isBlank(line[i])) ++i;
    if (i > start) words.push_back({line.substr(start, i - start), i});
  }
  return words;
}

template <class Int>
std::optional<Int> parseNumber(std::string_view text,
                               Int lowest = std::numeric_limits<Int>::min()) {
  Int value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || value < lowest) {
    return std::nullopt;
  }
  return value;
}

// About 31 years: far beyond any run, and far from overflowing the clock.
constexpr std::int64_t kLongestWait = 1'000'000'000'000;

const char* trueFalse(bool b) { return b ? "True" : "False"; }

std::string threeNumbers(const std::array<std::int16_t, 3>& values) {
  return std::to_string(values[0]) + " " + std::to_string(values[1]) + " " +
         std::to_string(values[2]);
}

class Runner {
 public:
  explicit Runner(SimPlatform& sim) : sim_(sim), app_(sim) {
    sim_.shell().onEvent = [](std::string_view line) { writeLine(line); };
    sim_.surface().onDraw = [](const frontend::sim::DrawnText& d) {
      writeLine("draw " + std::to_string(d.window) + " " + std::to_string(d.rect.Left) + " " +
                std::to_string(d.rect.Top) + " " + std::to_string(d.rect.Right) + " " +
                std::to_string(d.rect.Bottom) + " " + quote(d.text));
    };
  }

  bool ended() const { return sim_.shell().ended(); }

  // False when the line is no command this runner knows or its arguments are malformed.
  bool execute(std::string_view line);

 private:
  bool print(std::string_view name);
  std::optional<std::string> recordField(std::string_view name);
  std::optional<std::string> controlProperty(std::string_view control, std::string_view property);
  void printSettingsFile();

  SimPlatform& sim_;
  SimApp app_;
};

bool Runner::execute(std::string_view line) {
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
    sim_.keyboard().hold(codes);
    return true;
  }
  if (command == "tap" && args == 1) {
    const auto code = parseNumber<std::int16_t>(words[1].text);
    if (!code) return false;
    sim_.keyboard().tap(*code);
    return true;
  }
  if (command == "fg" && args == 1) {
    const auto window = parseNumber<platform::WindowHandle>(words[1].text);
    if (!window) return false;
    sim_.surface().setForeground(*window);
    return true;
  }
  if (command == "wait" && args == 1) {
    const auto ms = parseNumber<std::int64_t>(words[1].text, 0);
    if (!ms || *ms > kLongestWait) return false;
    sim_.clock().advance(*ms);
    return true;
  }
  if (command == "print" && args == 1) return print(words[1].text);
  if (command == "ini" && args == 0) {
    printSettingsFile();
    return true;
  }
  return false;
}

bool Runner::print(std::string_view name) {
  std::optional<std::string> value;
  if (const auto dot = name.find('.'); dot != std::string_view::npos) {
    value = controlProperty(name.substr(0, dot), name.substr(dot + 1));
  } else {
    value = recordField(name);
  }
  if (!value) return false;
  writeLine(std::string(name) + "=" + *value);
  return true;
}

std::optional<std::string> Runner::recordField(std::string_view name) {
  const app::Form1Record& r = app_.form().record();
  if (name == "SettingsPath") return quote(r.SettingsPath);
  if (name == "ElapsedSeconds") {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(r.ElapsedSeconds));
    return text;
  }
  if (name == "HotKeyCodes") return threeNumbers(r.HotKeyCodes);
  if (name == "HotKeyShifts") return threeNumbers(r.HotKeyShifts);
  if (name == "IsRunning") return std::to_string(r.IsRunning);
  if (name == "TimeText") return quote(r.TimeText);
  if (name == "OverlayRect") {
    const platform::Rect& o = r.OverlayRect;
    return std::to_string(o.Left) + " " + std::to_string(o.Top) + " " + std::to_string(o.Right) +
           " " + std::to_string(o.Bottom);
  }
  if (name == "OverlayDC") return std::to_string(r.OverlayDC);
  if (name == "PosX") return std::to_string(r.PosX);
  if (name == "PosY") return std::to_string(r.PosY);
  if (name == "TextColor") return std::to_string(r.TextColor);
  if (name == "BackBrush") return std::to_string(r.BackBrush);
  if (name == "OverlayWindow") return trueFalse(r.OverlayWindow);
  if (name == "Timer1") return sim_.timer1().enabled() ? "on" : "off";
  if (name == "Timer2") return sim_.timer2().enabled() ? "on" : "off";
  return std::nullopt;
}

std::optional<std::string> Runner::controlProperty(std::string_view control,
                                                   std::string_view property) {
  if (control == "Sim") {
    if (property == "Time") return std::to_string(sim_.clock().now());
    if (property == "KeyQueries") return std::to_string(sim_.keyboard().queries());
    if (property == "ContextsOut") return std::to_string(sim_.surface().contextsOut());
    if (property == "DrawCalls") return std::to_string(sim_.surface().calls().DrawTextA);
    if (property == "OwnWindow") return trueFalse(sim_.surface().ownWindow());
    if (property == "FramesComing") return trueFalse(sim_.surface().framesComing());
    return std::nullopt;
  }
  if (control == "Timer1" || control == "Timer2") {
    const frontend::sim::SimTimer& timer = control == "Timer1" ? sim_.timer1() : sim_.timer2();
    if (property == "Enabled") return trueFalse(timer.enabled());
    if (property == "Interval") return std::to_string(timer.interval());
    return std::nullopt;
  }
  if (const controls::qvHotKey* capture = app_.captureControl(control)) {
    if (property == "Text") return quote(capture->Text());
    if (property == "Code") return std::to_string(capture->qvGetHotKeyCode());
    if (property == "Shift") return std::to_string(capture->qvGetHotKeyShift());
    return std::nullopt;
  }
  // Main-window controls first: both windows have a Frame1 and a Label1.
  for (frontend::sim::SimWindow* window : {&sim_.mainWindow(), &sim_.aboutWindow()}) {
    if (const auto* box = window->textBox(control)) {
      if (property == "Text") return quote(box->text());
      return std::nullopt;
    }
    if (const auto* entry = window->menuEntry(control)) {
      if (property == "Caption") return quote(entry->caption());
      if (property == "Checked") return trueFalse(entry->checked());
      return std::nullopt;
    }
    if (const auto* panel = window->panel(control)) {
      if (property == "Visible") return trueFalse(panel->visible());
      if (property == "Caption") return quote(panel->caption());
      return std::nullopt;
    }
    if (const auto* label = window->label(control)) {
      if (property == "Caption") return quote(label->caption());
      return std::nullopt;
    }
  }
  return std::nullopt;
}

void Runner::printSettingsFile() {
  const std::optional<std::string> bytes = sim_.shell().readFile(sim_.settingsFile());
  if (!bytes) {
    writeLine("ini absent");
    return;
  }
  std::fwrite(bytes->data(), 1, bytes->size(), stdout);
}

int usage() {
  std::fputs("usage: tollivane-sim [--dir FOLDER] < commands\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  tollivane::useBinaryStandardStreams();
  std::optional<std::string> folder;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--dir" && i + 1 < argc && !folder) {
      folder = argv[++i];
    } else {
      return usage();
    }
  }
  if (folder && !std::filesystem::is_directory(*folder)) {
    std::fprintf(stderr, "tollivane-sim: no such folder: %s\n", folder->c_str());
    return 2;
  }

  SimPlatform sim(folder);
  Runner runner(sim);
  std::string line;
  while (std::getline(std::cin, line)) {
    if (runner.ended()) continue;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    if (!runner.execute(line)) {
      std::fflush(stdout);
      std::fprintf(stderr, "bad command: %s\n", line.c_str());
    }
  }
  std::fflush(stdout);
  return std::cin.bad() ? 1 : 0;
}
