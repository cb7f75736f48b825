// What some clients ask of the X server, seen from the server with the RECORD extension:
// their requests by major opcode and the replies they waited for.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/record.h>
#include <sys/types.h>

#include <array>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tollivane::x11test {

struct Traffic {
  long replies = 0;
  std::array<long, 256> requests{};  // by major opcode
};

class XTraffic {
 public:
  // Records the clients `clients` (any resource of each names it) from now until finished.
  XTraffic(const std::string& displayName, const std::vector<XID>& clients);
  ~XTraffic();
  XTraffic(const XTraffic&) = delete;
  XTraffic& operator=(const XTraffic&) = delete;

  // Ends the recording: everything the server saw before this call.
  Traffic finish();

 private:
  static void intercept(XPointer self, XRecordInterceptData* data);

  Display* control;
  Display* data;
  XRecordContext context = 0;
  std::thread reader;
  std::mutex lock;
  std::condition_variable changed;
  bool started = false;
  Traffic counted;
};

// The X clients (connections) that the process `pid` holds open.
std::vector<XID> clientsOf(Display* display, pid_t pid);

// Voluntary context switches of all threads of a process so far.
long voluntarySwitches(pid_t pid);

}  // namespace tollivane::x11test
