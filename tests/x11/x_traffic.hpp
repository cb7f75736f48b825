// What some clients ask of the X server, seen from the server with the RECORD extension:
// their requests by major opcode and the replies they waited for, and in the order the server
// handled them, the texts they drew and their readings of the keyboard. Nothing is missed
// however late the test looks: a busy machine delays the test, not the record.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/record.h>
#include <sys/types.h>

#include <array>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tollivane::x11test {

struct Traffic {
  long replies = 0;
  std::array<long, 256> requests{};  // by major opcode
};

// One request of the recorded clients that a test follows, or a mark of the test's own.
struct Recorded {
  enum Kind { Mark, KeyboardRead, Text } kind;
  std::string text;  // of a Text
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

  // A point in the record: whatever the recorded clients asked after it, the server handled
  // after all that this process's connections had sent and synced before the call.
  std::size_t mark();
  // From `mark` to what the server has handled by now.
  std::vector<std::string> textsSince(std::size_t mark);
  long keyboardReadsSince(std::size_t mark);

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
  XID controlBase;  // a resource of the control connection, whose no-ops are the marks
  std::vector<Recorded> log;
};

// The X clients (connections) that the process `pid` holds open.
std::vector<XID> clientsOf(Display* display, pid_t pid);

// Voluntary context switches of all threads of a process so far.
long voluntarySwitches(pid_t pid);

}  // namespace tollivane::x11test
