#include "platform/x11/display_probe.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tollivane::platform::x11 {
namespace {

using Clock = std::chrono::steady_clock;

struct Socket {
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int get() const { return fd_; }
  int fd_;
};

int remaining(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits for `events` on `fd` until the deadline; false when it passed first.
bool waitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd waiting{fd, events, 0};
    const int ready = ::poll(&waiting, 1, remaining(deadline));
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
  }
}

enum class Connected { Yes, No, Hung };

Connected connectBefore(int fd, const sockaddr* address, socklen_t size,
                        Clock::time_point deadline) {
  if (::connect(fd, address, size) == 0) return Connected::Yes;
  if (errno != EINPROGRESS && errno != EAGAIN) return Connected::No;
  if (!waitFor(fd, POLLOUT, deadline)) return Connected::Hung;
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
    return Connected::No;
  }
  return Connected::Yes;
}

enum class Received { All, Closed, Late };

// `size` bytes into `into` (or dropped, when it is null) before the deadline.
Received receive(int fd, unsigned char* into, std::size_t size, Clock::time_point deadline) {
  unsigned char dropped[4096];
  while (size > 0) {
    if (!waitFor(fd, POLLIN, deadline)) return Received::Late;
    unsigned char* to = into != nullptr ? into : dropped;
    const ssize_t got = ::recv(fd, to, into != nullptr ? size : std::min(size, sizeof dropped), 0);
    if (got == 0) return Received::Closed;
    if (got < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      return Received::Closed;
    }
    size -= static_cast<std::size_t>(got);
    if (into != nullptr) into += got;
  }
  return Received::All;
}

bool sendAll(int fd, const unsigned char* bytes, std::size_t size, Clock::time_point deadline) {
  return waitFor(fd, POLLOUT, deadline) &&
         ::send(fd, bytes, size, MSG_NOSIGNAL) == static_cast<ssize_t>(size);
}

// The whole connection setup with no authorization, and where the server takes us, one round
// trip: Xlib and Qt wait for both without end, so a server that answers a byte, or the setup
// alone, and then stalls would hang the start. A server that refuses or closes answers too:
// Xlib then says so at once.
DisplayAnswer askSetup(int fd, Clock::time_point deadline) {
  const unsigned char request[12] = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  if (!waitFor(fd, POLLOUT, deadline)) return DisplayAnswer::Silent;
  if (!sendAll(fd, request, sizeof request, deadline)) return DisplayAnswer::Unknown;
  unsigned char head[8];
  Received got = receive(fd, head, sizeof head, deadline);
  // Every kind of setup reply gives the length of the rest, in 4-byte units, at bytes 6 and 7.
  if (got == Received::All) got = receive(fd, nullptr, 4u * (head[6] | head[7] << 8), deadline);
  if (got != Received::All || head[0] != 1) {
    return got == Received::Late ? DisplayAnswer::Silent : DisplayAnswer::Answers;
  }
  const unsigned char getInputFocus[4] = {43, 0, 1, 0};
  if (!sendAll(fd, getInputFocus, sizeof getInputFocus, deadline)) return DisplayAnswer::Answers;
  unsigned char reply[32];
  return receive(fd, reply, sizeof reply, deadline) == Received::Late ? DisplayAnswer::Silent
                                                                      : DisplayAnswer::Answers;
}

DisplayAnswer probeSocket(int family, const sockaddr* address, socklen_t size,
                          Clock::time_point deadline) {
  Socket fd(::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (fd.get() < 0) return DisplayAnswer::Unknown;
  switch (connectBefore(fd.get(), address, size, deadline)) {
    case Connected::Yes:
      return askSetup(fd.get(), deadline);
    case Connected::Hung:
      return DisplayAnswer::Silent;
    case Connected::No:
      break;
  }
  return DisplayAnswer::Unknown;
}

// Xlib's order for a local display: the abstract socket, then the one in the file system.
DisplayAnswer probeLocal(const std::string& number, Clock::time_point deadline) {
  const std::string path = "/tmp/.X11-unix/X" + number;
  for (bool abstract : {true, false}) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t offset = abstract ? 1 : 0;
    if (path.size() + offset >= sizeof address.sun_path) return DisplayAnswer::Unknown;
    std::memcpy(address.sun_path + offset, path.data(), path.size());
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset +
                                             path.size() + (abstract ? 0 : 1));
    const DisplayAnswer answer =
        probeSocket(AF_UNIX, reinterpret_cast<const sockaddr*>(&address), size, deadline);
    if (answer != DisplayAnswer::Unknown) return answer;
  }
  return DisplayAnswer::Unknown;
}

DisplayAnswer probeTcp(std::string host, int port, Clock::time_point deadline) {
  // Numeric addresses only: a name would need a lookup that may itself hang.
  if (host == "localhost") host = "127.0.0.1";
  sockaddr_in v4{};
  v4.sin_family = AF_INET;
  v4.sin_port = htons(static_cast<std::uint16_t>(port));
  if (::inet_pton(AF_INET, host.c_str(), &v4.sin_addr) == 1) {
    return probeSocket(AF_INET, reinterpret_cast<const sockaddr*>(&v4), sizeof v4, deadline);
  }
  sockaddr_in6 v6{};
  v6.sin6_family = AF_INET6;
  v6.sin6_port = v4.sin_port;
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  if (::inet_pton(AF_INET6, host.c_str(), &v6.sin6_addr) == 1) {
    return probeSocket(AF_INET6, reinterpret_cast<const sockaddr*>(&v6), sizeof v6, deadline);
  }
  return DisplayAnswer::Unknown;
}

}  // namespace

DisplayAnswer probeDisplay(const char* name, std::chrono::milliseconds patience) {
  if (name == nullptr) name = std::getenv("DISPLAY");
  if (name == nullptr) return DisplayAnswer::Unknown;
  const std::string display = name;
  const auto colon = display.rfind(':');
  // "host::N" is DECnet; a path before the colon is a socket of its own: both left to Xlib.
  if (colon == std::string::npos || (colon > 0 && display[colon - 1] == ':')) {
    return DisplayAnswer::Unknown;
  }
  std::string host = display.substr(0, colon);
  if (const auto slash = host.find('/'); slash != std::string::npos) {
    const std::string protocol = host.substr(0, slash);
    host = host.substr(slash + 1);
    if (protocol == "unix" && !host.empty()) return DisplayAnswer::Unknown;
  }
  const std::string rest = display.substr(colon + 1);
  const std::string number = rest.substr(0, rest.find('.'));
  if (number.empty() || number.size() > 5 ||
      number.find_first_not_of("0123456789") != std::string::npos) {
    return DisplayAnswer::Unknown;
  }
  const auto deadline = Clock::now() + patience;
  if (host.empty() || host == "unix") {
    const DisplayAnswer local = probeLocal(number, deadline);
    // With no local socket, Xlib goes on to TCP on this machine.
    if (local != DisplayAnswer::Unknown || host == "unix") return local;
    host = "127.0.0.1";
  }
  return probeTcp(host, 6000 + std::atoi(number.c_str()), deadline);
}

void keepAuthorityFileSafe() {
  constexpr off_t kLargest = 1 << 20;
  std::string file;
  if (const char* set = std::getenv("XAUTHORITY"); set != nullptr && *set != '\0') {
    file = set;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    file = std::string(home) + "/.Xauthority";
  } else {
    return;
  }
  struct stat info {};
  // Absent is fine: Xlib then has no cookie to offer, as it would anyway.
  if (::stat(file.c_str(), &info) != 0 && errno == ENOENT) return;
  if (::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kLargest) {
    return;
  }
  ::setenv("XAUTHORITY", "/dev/null", 1);
}

}  // namespace tollivane::platform::x11
