#include "controls/hotkey_capture/pad_capture.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "common/pad_buttons.hpp"

namespace tollivane::controls {
namespace {

constexpr pad::PadButtons kView = 0x20, kA = 0x1000, kB = 0x2000, kL2 = 0x10000;

struct CaptureCase {
  const char* what;
  std::vector<std::vector<pad::PadButtons>> readings;  // one pad list per reading
  pad::PadButtons current;
  std::optional<pad::PadButtons> made;  // by the last reading
};

TEST(PadCapture, MakesBindingsFromPressesBetweenReadings) {
  const CaptureCase cases[] = {
      {"nothing down", {{0}}, 0, std::nullopt},
      {"first button alone", {{kView}}, 0, kView},
      {"a second while the first is held", {{kView}, {kView | kA}}, kView, kView | kA},
      {"both between two readings", {{kView | kL2}}, 0, kView | kL2},
      {"held on and nothing new", {{kView}, {kView}}, kView, std::nullopt},
      {"the binding's own button clears it", {{kB}}, kB, 0},
      {"... not while held on from before", {{kB}, {kB}}, kB, std::nullopt},
      {"three at once make nothing", {{kView | kA | kB}}, 0, std::nullopt},
      {"a third onto a chord makes nothing", {{kView | kA}, {kView | kA | kB}}, 0, std::nullopt},
      {"one pad's press, another pad's hold", {{0, kA}, {kView, kA}}, 0, kView},
      {"bits beyond the buttons are not looked at", {{0x0400}}, 0, std::nullopt},
  };
  for (const CaptureCase& c : cases) {
    PadCapture capture;
    std::optional<pad::PadButtons> made;
    for (const auto& reading : c.readings) made = capture.next(reading, c.current);
    EXPECT_EQ(made, c.made) << c.what;
  }
}

}  // namespace
}  // namespace tollivane::controls
