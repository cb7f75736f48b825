// Whether an X server answers, asked before Xlib or Qt connect: both wait for the server's
// replies without a limit, so a stopped server, or a listener that takes the connection and
// stalls before its setup or its first round trip is through, would hold start-up for as long
// as it stays silent.
#pragma once

#include <chrono>

namespace tollivane::platform::x11 {

enum class DisplayAnswer {
  Answers,  // it replied (even to refuse us): Xlib may go ahead
  Silent,   // it took the connection, or the connection hung, and the whole setup reply and a
            // first round trip had not come by the deadline
  Unknown,  // no connection could be made here, or a name this probe does not read: Xlib's call
};

// `name` as DISPLAY spells it (":0", "unix:0.1", "127.0.0.1:1"); null reads DISPLAY.
DisplayAnswer probeDisplay(const char* name, std::chrono::milliseconds deadline);

// XAUTHORITY (or ~/.Xauthority when unset) read only when it is a regular file of at most
// 1 MiB: otherwise it is replaced by /dev/null for this process, since Xlib and Qt would block
// opening a FIFO and spin reading a device.
void keepAuthorityFileSafe();

}  // namespace tollivane::platform::x11
