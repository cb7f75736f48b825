// How long a Qt test waits for anything a busy machine may be slow to do, in QTRY's
// milliseconds.
#pragma once

inline constexpr int kPatienceMs = 20000;
