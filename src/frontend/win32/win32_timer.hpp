// A periodic timer on the user-interface thread, phase-locked to QueryPerformanceCounter.
// WM_TIMER comes 10-16 ms late or early at the system's whim; each wake re-arms the timer for
// what remains to the next phase point, so the ticks never drift.
#pragma once

#include <windows.h>

#include <functional>

#include "app/tick_schedule.hpp"
#include "app/window_controls.hpp"

namespace tollivane::frontend::win32 {

class Win32Timer final : public app::Timer {
 public:
  // `window` receives WM_TIMER with `id` and hands it to wake().
  Win32Timer(HWND window, UINT_PTR id, std::function<void()> onTick);
  ~Win32Timer() override;
  Win32Timer(const Win32Timer&) = delete;
  Win32Timer& operator=(const Win32Timer&) = delete;

  void setInterval(int milliseconds) override;
  void setEnabled(bool on) override;
  bool enabled() const override { return enabled_; }
  int interval() const override { return interval_; }

  // The WM_TIMER of this timer's id.
  void wake();

 private:
  void restart();
  void arm(long long now);

  HWND window_;
  UINT_PTR id_;
  std::function<void()> onTick_;
  app::TickSchedule phase_;
  long long frequency_;
  int interval_ = 0;
  bool enabled_ = false;
};

}  // namespace tollivane::frontend::win32
