// The system timer of a timer group on a window's message loop, counted on
// QueryPerformanceCounter. WM_TIMER comes 10-16 ms late or early at the system's whim, so a
// repeating timer is set again at each wake for what remains to its next grid point, and never
// drifts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "app/system_timer.hpp"
#include "app/tick_schedule.hpp"

namespace tollivane::frontend::win32 {

class Win32SystemTimer final : public app::SystemTimer {
 public:
  // `window` receives WM_TIMER with `id` and hands it to wake().
  Win32SystemTimer(HWND window, UINT_PTR id);
  ~Win32SystemTimer() override;
  Win32SystemTimer(const Win32SystemTimer&) = delete;
  Win32SystemTimer& operator=(const Win32SystemTimer&) = delete;

  void setOnDue(std::function<void()> onDue) override { onDue_ = std::move(onDue); }
  std::int64_t now() const override;
  void arm(std::int64_t milliseconds) override;
  void repeat(std::int64_t milliseconds) override;
  void cancel() override;

  // The WM_TIMER of this timer's id.
  void wake();

 private:
  void set(std::int64_t milliseconds);

  HWND window_;
  UINT_PTR id_;
  std::int64_t frequency_;
  std::function<void()> onDue_;
  app::TickSchedule grid_;  // while repeating
  bool repeating_ = false;
  bool armed_ = false;
};

}  // namespace tollivane::frontend::win32
