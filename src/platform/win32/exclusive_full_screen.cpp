#include "platform/win32/exclusive_full_screen.hpp"

#include <windows.h>

#include <shellapi.h>

namespace tollivane::platform::win32 {

int systemNotificationState() {
  QUERY_USER_NOTIFICATION_STATE state{};
  if (FAILED(SHQueryUserNotificationState(&state))) return 0;
  return static_cast<int>(state);
}

ExclusiveFullScreen::ExclusiveFullScreen(Tell tell)
    : ExclusiveFullScreen(systemNotificationState, std::move(tell)) {}

ExclusiveFullScreen::ExclusiveFullScreen(Query query, Tell tell)
    : query_(std::move(query)), tell_(std::move(tell)) {}

void ExclusiveFullScreen::check(std::uint64_t nowMs) {
  if (asked_ && nowMs - askedAt_ < kAskEveryMs) return;
  asked_ = true;
  askedAt_ = nowMs;
  // A failed question keeps what was last known rather than making the line blink.
  const int state = query_();
  if (state == 0) return;
  const bool holds = state == QUNS_RUNNING_D3D_FULL_SCREEN;
  if (holds == holds_) return;
  holds_ = holds;
  if (tell_) tell_(holds);
}

void ExclusiveFullScreen::check() { check(GetTickCount64()); }

}  // namespace tollivane::platform::win32
