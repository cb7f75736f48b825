// How long a later start, or a command from the command line, waits for the copy that holds the
// settings file's instance name to answer, on every system. The holder answers from its event
// loop, between handlers that take milliseconds, so one that has not answered within a second is
// stopped or hung, and the later start goes on without it (its own window, or "does not
// answer"). A second still covers a holder that is busy saving to a slow disk, so that a busy
// copy seldom gets a twin; and a start that shows its window a second late, in the rare case of
// a stopped copy, is one a user waits out, where two or more seconds would look like a hang.
#pragma once

#include <chrono>

namespace tollivane::platform {

inline constexpr std::chrono::milliseconds kInstanceAnswerTime{1000};

}  // namespace tollivane::platform
