#include "platform/posix/single_instance.hpp"

#include <poll.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <thread>

namespace tollivane::platform::posix {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// One packet each way; anything else under the name is not a Tollivane.
constexpr std::string_view kRequest = "tollivane: show your window\n";
constexpr std::string_view kAcknowledgement = "tollivane: shown\n";
// A command is its word between these; it is answered with one of the two below.
constexpr std::string_view kCommandStart = "tollivane: do ";
constexpr std::string_view kCommandEnd = "\n";
constexpr std::string_view kTaken = "tollivane: taken\n";
constexpr std::string_view kRefused = "tollivane: refused\n";
// The longest packet either way that is read whole.
constexpr std::size_t kLongestPacket = 64;
// Connections that have not spoken yet, heard at once; more are cut off, oldest first, so that
// none can pile up fds.
constexpr std::size_t kMaxWaiting = 8;

struct Address {
  sockaddr_un socket{};
  socklen_t length = 0;
};

// Abstract: a leading NUL, and the name's exact length, with no terminating NUL.
Address abstractAddress(const std::string& name) {
  Address address;
  address.socket.sun_family = AF_UNIX;
  const std::size_t size = std::min(name.size(), sizeof address.socket.sun_path - 1);
  std::memcpy(address.socket.sun_path + 1, name.data(), size);
  address.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + size);
  return address;
}

bool peerIsUs(int fd) {
  ucred peer{};
  socklen_t size = sizeof peer;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

int millisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, 60'000));
}

enum class Knock {
  Answered,  // a Tollivane of ours acknowledged the request
  Refused,   // it answered that it would not do what was asked
  Nobody,    // nothing listens under the name, yet or any more
  Silent,    // something listens but gave no acknowledgement in time
  NotOurs,   // another user's, or not a packet socket: never ours to ask
};

// Sends `request` and waits for `acknowledgement` or, when there is one, `refusal`.
Knock knock(const Address& address, Clock::time_point deadline, std::string_view request,
            std::string_view acknowledgement, std::string_view refusal = {}) {
  int fd = -1;
  for (;;) {
    fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return Knock::NotOurs;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address.socket), address.length) == 0) {
      break;
    }
    const int error = errno;
    ::close(fd);
    // A full backlog: the holder takes no one in. It may be busy for a moment, so try again.
    if ((error == EAGAIN || error == EINTR) && Clock::now() < deadline) {
      std::this_thread::sleep_for(10ms);
      continue;
    }
    if (error == ECONNREFUSED) return Knock::Nobody;
    return error == EAGAIN ? Knock::Silent : Knock::NotOurs;
  }
  Knock result = Knock::Silent;
  if (!peerIsUs(fd)) {
    result = Knock::NotOurs;
  } else if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
             static_cast<ssize_t>(request.size())) {
    pollfd answer{fd, POLLIN, 0};
    while (::poll(&answer, 1, millisecondsUntil(deadline)) > 0) {
      char buffer[kLongestPacket];
      const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
      if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      const std::string_view answered(buffer, got > 0 ? static_cast<std::size_t>(got) : 0);
      if (answered == acknowledgement) {
        result = Knock::Answered;
      } else if (!refusal.empty() && answered == refusal) {
        result = Knock::Refused;
      }
      break;
    }
  }
  ::close(fd);
  return result;
}

// The path with every link on it followed, as a save follows them (a link to a folder not made
// yet included, which the save makes), and "." and ".." made plain: one file, one name.
std::string followLinks(std::string_view settingsPath) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path start(settingsPath);
  if (start.is_relative()) start = fs::current_path(error) / start;
  std::deque<fs::path> rest(start.begin(), start.end());
  fs::path resolved = "/";
  int links = 0;
  while (!rest.empty()) {
    const fs::path part = rest.front();
    rest.pop_front();
    if (part.empty() || part == "/" || part == ".") continue;
    if (part == "..") {
      resolved = resolved.parent_path();
      continue;
    }
    const fs::path next = resolved / part;
    // As the kernel does, at most 40 links: a loop ends as a plain name.
    if (links < 40 && fs::is_symlink(next, error)) {
      const fs::path target = fs::read_symlink(next, error);
      if (!error) {
        ++links;
        if (target.is_absolute()) resolved = "/";
        rest.insert(rest.begin(), target.begin(), target.end());
        continue;
      }
    }
    resolved = next;
  }
  return resolved.string();
}

}  // namespace

std::string instanceName(uid_t user, std::string_view settingsPath) {
  const std::string path = followLinks(settingsPath);
  // FNV-1a: a short, stable digest; the user's id keeps users apart whatever the path.
  std::uint64_t digest = 14695981039346656037u;
  for (const char c : path) {
    digest = (digest ^ static_cast<unsigned char>(c)) * 1099511628211u;
  }
  char name[64];
  std::snprintf(name, sizeof name, "tollivane/%u/%016llx", static_cast<unsigned>(user),
                static_cast<unsigned long long>(digest));
  return name;
}

namespace {

// Anyone may bind any abstract name: where another user's program, or one that is no socket of
// ours, holds a name, the next of a few is tried, by every start and command alike.
constexpr int kNames = 4;

std::string nameAt(const std::string& name, int step) {
  return step == 0 ? name : name + "~" + std::to_string(step);
}

}  // namespace

SingleInstance::SingleInstance(const std::string& name, std::chrono::milliseconds answerTime) {
  const Clock::time_point deadline = Clock::now() + answerTime;
  for (int step = 0; step < kNames;) {
    const Address address = abstractAddress(nameAt(name, step));
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address.socket), address.length) == 0 &&
        ::listen(fd, 64) == 0) {
      events_ = ::epoll_create1(EPOLL_CLOEXEC);
      epoll_event watch{};
      watch.events = EPOLLIN;
      watch.data.fd = fd;
      if (events_ < 0 || ::epoll_ctl(events_, EPOLL_CTL_ADD, fd, &watch) != 0) {
        if (events_ >= 0) ::close(events_);
        events_ = -1;
        ::close(fd);
        return;
      }
      role_ = Role::First;
      socket_ = fd;
      return;
    }
    const int error = errno;
    ::close(fd);
    if (error != EADDRINUSE) return;
    switch (knock(address, deadline, kRequest, kAcknowledgement)) {
      case Knock::Answered:
        role_ = Role::Another;
        return;
      case Knock::Refused:
      case Knock::Silent:
        return;
      case Knock::NotOurs:
        stepped_ = true;
        ++step;
        break;
      case Knock::Nobody:
        // Bound but not listening: a holder starting or ending. Give it a moment to settle.
        if (Clock::now() >= deadline) return;
        std::this_thread::sleep_for(20ms);
        break;
    }
  }
}

SingleInstance::CommandResult SingleInstance::sendCommand(const std::string& name,
                                                          std::string_view word,
                                                          std::chrono::milliseconds answerTime) {
  const std::string request =
      std::string(kCommandStart) + std::string(word) + std::string(kCommandEnd);
  if (request.size() > kLongestPacket || word.find('\n') != std::string_view::npos) {
    return CommandResult::Refused;
  }
  const Clock::time_point deadline = Clock::now() + answerTime;
  for (int step = 0; step < kNames; ++step) {
    // No wait for a holder still starting: a script is better told at once that none runs.
    switch (knock(abstractAddress(nameAt(name, step)), deadline, request, kTaken, kRefused)) {
      case Knock::Answered:
        return CommandResult::Taken;
      case Knock::Refused:
        return CommandResult::Refused;
      case Knock::Silent:
        return CommandResult::NotAnswering;
      case Knock::Nobody:
        return CommandResult::NoneRunning;
      case Knock::NotOurs:
        break;
    }
  }
  return CommandResult::NoneRunning;
}

SingleInstance::~SingleInstance() {
  for (const int connection : connections_) ::close(connection);
  if (events_ >= 0) ::close(events_);
  if (socket_ >= 0) ::close(socket_);
}

void SingleInstance::drop(int connection) {
  ::epoll_ctl(events_, EPOLL_CTL_DEL, connection, nullptr);
  ::close(connection);
  std::erase(connections_, connection);
}

SingleInstance::Heard SingleInstance::hear(int connection) {
  char buffer[kLongestPacket];
  const ssize_t got = ::recv(connection, buffer, sizeof buffer, MSG_DONTWAIT);
  if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return Heard::Nothing;
  const std::string_view packet(buffer, got > 0 ? static_cast<std::size_t>(got) : 0);
  if (packet == kRequest) {
    ::send(connection, kAcknowledgement.data(), kAcknowledgement.size(),
           MSG_NOSIGNAL | MSG_DONTWAIT);
    return Heard::Asked;
  }
  if (packet.starts_with(kCommandStart) && packet.ends_with(kCommandEnd)) {
    // A sender that gave up waiting has told its user that nothing took the command: it must
    // not take effect now.
    pollfd sender{connection, POLLRDHUP, 0};
    if (::poll(&sender, 1, 0) > 0 && (sender.revents & (POLLRDHUP | POLLHUP)) != 0) {
      return Heard::Other;
    }
    const std::string_view word = packet.substr(
        kCommandStart.size(), packet.size() - kCommandStart.size() - kCommandEnd.size());
    const std::string_view answer = commands_ && commands_(word) ? kTaken : kRefused;
    ::send(connection, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  }
  return Heard::Other;
}

int SingleInstance::takeRequests() {
  if (socket_ < 0) return 0;
  int asked = 0;
  for (const int connection : std::vector<int>(connections_)) {
    const Heard heard = hear(connection);
    if (heard == Heard::Nothing) continue;
    asked += heard == Heard::Asked ? 1 : 0;
    drop(connection);
  }
  for (;;) {
    const int connection = ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (connection < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      break;
    }
    if (!peerIsUs(connection)) {
      ::close(connection);
      continue;
    }
    // A later start sends its request as soon as it connects: read it at once, so that a
    // burst of starts is answered however many there are, and only a start yet to speak waits.
    const Heard heard = hear(connection);
    if (heard != Heard::Nothing) {
      asked += heard == Heard::Asked ? 1 : 0;
      ::close(connection);
      continue;
    }
    epoll_event watch{};
    watch.events = EPOLLIN;
    watch.data.fd = connection;
    if (::epoll_ctl(events_, EPOLL_CTL_ADD, connection, &watch) != 0) {
      ::close(connection);
      continue;
    }
    if (connections_.size() == kMaxWaiting) drop(connections_.front());
    connections_.push_back(connection);
  }
  return asked;
}

}  // namespace tollivane::platform::posix
