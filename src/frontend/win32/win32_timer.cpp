#include "frontend/win32/win32_timer.hpp"

#include <utility>

namespace tollivane::frontend::win32 {
namespace {

long long counter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

}  // namespace

Win32Timer::Win32Timer(HWND window, UINT_PTR id, std::function<void()> onTick)
    : window_(window), id_(id), onTick_(std::move(onTick)) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  frequency_ = frequency.QuadPart;
}

Win32Timer::~Win32Timer() { KillTimer(window_, id_); }

void Win32Timer::setInterval(int milliseconds) {
  interval_ = milliseconds;
  if (enabled_) restart();
}

void Win32Timer::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  restart();
}

void Win32Timer::restart() {
  KillTimer(window_, id_);
  if (!enabled_ || interval_ <= 0) return;
  const long long now = counter();
  phase_.start(now, frequency_ * interval_ / 1000);
  arm(now);
}

void Win32Timer::arm(long long now) {
  const long long wait = phase_.millisecondsUntilNext(now, frequency_);
  SetTimer(window_, id_, static_cast<UINT>(wait < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : wait),
           nullptr);
}

void Win32Timer::wake() {
  if (!enabled_ || interval_ <= 0) {
    KillTimer(window_, id_);
    return;
  }
  const long long now = counter();
  const bool due = phase_.wake(now);
  // Armed before the handler runs, which may switch this very timer off or on again.
  arm(now);
  if (due) onTick_();
}

}  // namespace tollivane::frontend::win32
