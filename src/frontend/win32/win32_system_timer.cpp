#include "frontend/win32/win32_system_timer.hpp"

#include <utility>

namespace tollivane::frontend::win32 {
namespace {

constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;

}  // namespace

Win32SystemTimer::Win32SystemTimer(HWND window, UINT_PTR id) : window_(window), id_(id) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  frequency_ = frequency.QuadPart;
}

Win32SystemTimer::~Win32SystemTimer() { cancel(); }

std::int64_t Win32SystemTimer::now() const {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  // Whole seconds apart, so that a fine counter cannot overflow.
  const std::int64_t counts = counter.QuadPart;
  return counts / frequency_ * kNanosecondsPerSecond +
         counts % frequency_ * kNanosecondsPerSecond / frequency_;
}

void Win32SystemTimer::set(std::int64_t milliseconds) {
  armed_ = true;
  SetTimer(window_, id_,
           static_cast<UINT>(milliseconds < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : milliseconds),
           nullptr);
}

void Win32SystemTimer::arm(std::int64_t milliseconds) {
  repeating_ = false;
  set(milliseconds);
}

void Win32SystemTimer::repeat(std::int64_t milliseconds) {
  repeating_ = true;
  grid_.start(now(), milliseconds * (kNanosecondsPerSecond / 1000));
  set(milliseconds);
}

void Win32SystemTimer::cancel() {
  if (!armed_) return;
  armed_ = false;
  KillTimer(window_, id_);
}

void Win32SystemTimer::wake() {
  if (!armed_) return;
  // Set again or killed before the group runs, which may arm it anew or cancel it.
  if (repeating_) {
    const std::int64_t woke = now();
    const bool due = grid_.wake(woke);
    set(grid_.millisecondsUntilNext(woke, kNanosecondsPerSecond));
    if (!due) return;  // early: it sleeps on to the grid point
  } else {
    cancel();
  }
  if (onDue_) onDue_();
}

}  // namespace tollivane::frontend::win32
