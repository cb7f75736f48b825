// A game in exclusive full screen owns the display: Windows shows no other window over it, ours
// neither, so the clock cannot be seen there whichever way it is drawn.
#pragma once

#include <cstdint>
#include <functional>

namespace tollivane::platform::win32 {

class ExclusiveFullScreen {
 public:
  // SHQueryUserNotificationState's answer (QUERY_USER_NOTIFICATION_STATE), 0 when it failed;
  // the system's unless a test stands in for it.
  using Query = std::function<int()>;
  // Told `true` when the state begins and `false` when it ends.
  using Tell = std::function<void(bool holds)>;
  // The shell works the answer out from the windows and the displays: not a question for
  // every frame.
  static constexpr std::uint64_t kAskEveryMs = 1000;

  explicit ExclusiveFullScreen(Tell tell);
  ExclusiveFullScreen(Query query, Tell tell);

  // Asks, unless it asked less than kAskEveryMs before `nowMs` (milliseconds of any steady
  // clock), and tells of a change.
  void check(std::uint64_t nowMs);
  // The same at the system's tick count.
  void check();

 private:
  Query query_;
  Tell tell_;
  std::uint64_t askedAt_ = 0;
  bool asked_ = false;
  bool holds_ = false;
};

// What the system answers now.
int systemNotificationState();

}  // namespace tollivane::platform::win32
