// What the key-state contract cannot reach without waiting seconds of real time: a query that
// comes late, and a slot read as held long after its last query.
#include "platform/press_ledger.hpp"

#include <gtest/gtest.h>

namespace tollivane::platform {
namespace {

using Ledger = PressLedger<18>;  // a pad's buttons
using T = Ledger::Time;

TEST(PressLedger, APressWithinTheWindowIsDroppedWhenItsQueryComesLate) {
  Ledger ledger(T(0));
  ledger.query(17, false, T(0), Ledger::Since::Pressed);
  ledger.press(17);
  EXPECT_EQ(ledger.query(17, false, T(2001), Ledger::Since::Pressed), 0);
  ledger.press(17);
  EXPECT_EQ(ledger.query(17, false, T(2002), Ledger::Since::Pressed), 1);
}

TEST(PressLedger, ASlotReadAsHeldReadsPressedWhileDownHoweverLongAgoItWasAsked) {
  Ledger ledger(T(0));
  EXPECT_EQ(ledger.query(0, true, T(10), Ledger::Since::Down), 0x8001);
  EXPECT_EQ(ledger.query(0, true, T(5000), Ledger::Since::Down), 0x8001);
  EXPECT_EQ(ledger.query(0, false, T(9000), Ledger::Since::Down), 0)
      << "last asked for too long ago";
}

}  // namespace
}  // namespace tollivane::platform
