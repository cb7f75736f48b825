// What the key-state contract cannot reach: a ledger over a pad's buttons, read as held, and
// presses whose query comes late, without waiting seconds of real time.
#include "platform/press_ledger.hpp"

#include <gtest/gtest.h>

#include <initializer_list>

namespace tollivane::platform {
namespace {

using Ledger = PressLedger<18>;
using Since = Ledger::Since;
using T = Ledger::Time;

TEST(PressLedger, ReportsEachSlotAsPromised) {
  struct Step {
    int at;        // ms since the ledger was made
    bool press;    // else a query
    bool down;     // for a query: down now
    int expected;  // for a query
  };
  struct Case {
    const char* name;
    Since since;
    std::initializer_list<Step> steps;
  };
  const Case cases[] = {
      {"a press in time, its query late",
       Since::Pressed,
       {{0, false, false, 0},
        {1000, true, false, 0},
        {2001, false, false, 0},
        {2002, true, false, 0},
        {2003, false, false, 1}}},
      {"held through a query, let go before the next",
       Since::Down,
       {{10, false, true, 0x8001}, {200, false, false, 1}, {400, false, false, 0}}},
      {"held long past any query",
       Since::Down,
       {{10, false, true, 0x8001}, {5000, false, true, 0x8001}}},
      {"a tap between two polls",
       Since::Down,
       {{1900, true, false, 0}, {1999, false, false, 1}, {2100, false, false, 0}}},
      {"a key held, never seen pressed",
       Since::Pressed,
       {{100, false, true, 0x8000}, {300, false, true, 0x8000}}},
  };
  for (const Case& c : cases) {
    Ledger ledger(T(0));
    for (const Step& step : c.steps) {
      // The last button, a trigger, is a slot like any other.
      if (step.press) {
        ledger.press(17);
      } else {
        EXPECT_EQ(ledger.query(17, step.down, T(step.at), c.since), step.expected)
            << c.name << " at " << step.at;
      }
    }
  }
}

}  // namespace
}  // namespace tollivane::platform
