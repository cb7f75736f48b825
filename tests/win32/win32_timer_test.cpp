#include "frontend/win32/win32_timer.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/win32/phase_schedule.hpp"

namespace tollivane::frontend::win32 {
namespace {

TEST(PhaseSchedule, TicksOnPhasePointsAndMergesTheMissedOnes) {
  PhaseSchedule phase;
  phase.start(1000, 200);
  const struct {
    std::int64_t wake;
    bool due;
    std::int64_t next;
  } steps[] = {
      {1100, false, 1200},  // early: sleep on
      {1200, true, 1400},   // on time
      {1415, true, 1600},   // late: the next is not pushed back
      {2050, true, 2200},   // 1600, 1800 and 2000 missed: one tick
      {2199, false, 2200},
  };
  for (const auto& step : steps) {
    EXPECT_EQ(phase.wake(step.wake), step.due) << step.wake;
    EXPECT_EQ(phase.next(), step.next) << step.wake;
  }
  EXPECT_EQ(phase.untilNext(2150), 50);
  EXPECT_EQ(phase.untilNext(2300), 0);
}

double millisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return double(now.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// A real timer on a real message loop: WM_TIMER's coarse clock must not make it drift.
TEST(Win32Timer, KeepsItsPhaseOverManyTicksAndAfterABusyHandler) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  LARGE_INTEGER start;
  std::vector<double> ticks;
  Win32Timer timer(window, 7, [&] {
    ticks.push_back(millisecondsSince(start));
    if (ticks.size() == 2) Sleep(250);  // busy past two phase points
  });
  timer.setInterval(100);
  QueryPerformanceCounter(&start);
  timer.setEnabled(true);
  MSG message;
  while (millisecondsSince(start) < 1050 && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && message.hwnd == window && message.wParam == 7) {
      timer.wake();
    } else {
      DispatchMessageW(&message);
    }
  }
  timer.setEnabled(false);
  DestroyWindow(window);
  // The last wait for a message may have ended with a tick past the end.
  while (!ticks.empty() && ticks.back() >= 1050.0) ticks.pop_back();

  // Due at 100 and 200; 300 and 400 fall in the busy handler and make one late tick; then
  // 500 to 1000 on their phase points.
  std::string all;
  for (double t : ticks) all += std::to_string(int(t)) + " ";
  ASSERT_EQ(ticks.size(), 9u) << all;
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    if (i == 2) {
      EXPECT_GE(ticks[i], 450.0);
      EXPECT_LT(ticks[i], 500.0);
      continue;
    }
    const double due = i < 2 ? 100.0 * double(i + 1) : 100.0 * double(i + 2);
    EXPECT_GE(ticks[i], due - 1.0) << i;
    EXPECT_LT(ticks[i], due + 60.0) << i << ": late by " << ticks[i] - due;
  }
}

}  // namespace
}  // namespace tollivane::frontend::win32
