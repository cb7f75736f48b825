// Wine 8 refuses this class of process information, so what is asked of the system is checked
// through a stand-in for its call; the real one must only never stop the program.
#include "platform/win32/power_throttling.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace tollivane::platform::win32 {
namespace {

struct Request {
  HANDLE process;
  int informationClass;
  ULONG version, controlMask, stateMask;
  DWORD size;
  bool operator==(const Request&) const = default;
};
std::vector<Request> requests;
ULONG refusedMask = 0;  // requests with any of these control bits are refused

BOOL WINAPI standIn(HANDLE process, int informationClass, LPVOID information, DWORD size) {
  const auto* state = static_cast<const ULONG*>(information);
  requests.push_back({process, informationClass, state[0], state[1], state[2], size});
  return (state[1] & refusedMask) == 0;
}

TEST(PowerThrottling, AsksNeverToSlowTheProcessOrItsTimers) {
  const struct {
    ULONG refused;
    bool taken;
    std::vector<ULONG> masksAsked;
  } cases[] = {
      {0, true, {0x5}},          // Windows 11: both at once
      {0x4, true, {0x5, 0x1}},   // Windows 10 before 21H2: speed alone
      {0x5, false, {0x5, 0x1}},  // refused altogether
  };
  for (const auto& c : cases) {
    requests.clear();
    refusedMask = c.refused;
    EXPECT_EQ(optOutOfPowerThrottling(standIn), c.taken) << c.refused;
    ASSERT_EQ(requests.size(), c.masksAsked.size()) << c.refused;
    for (std::size_t i = 0; i < requests.size(); ++i) {
      // ProcessPowerThrottling, version 1, throttling off (state 0) for what it controls.
      EXPECT_EQ(requests[i], (Request{GetCurrentProcess(), 4, 1, c.masksAsked[i], 0, 12}));
    }
  }
}

TEST(PowerThrottling, AWindowsWithoutTheCallStillStarts) {
  EXPECT_FALSE(optOutOfPowerThrottling(nullptr));
  optOutOfPowerThrottling();  // whatever this system answers
}

}  // namespace
}  // namespace tollivane::platform::win32
