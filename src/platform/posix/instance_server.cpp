#include <poll.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "platform/posix/instance_client.hpp"
#include "platform/posix/instance_protocol.hpp"
#include "platform/posix/single_instance.hpp"

namespace tollivane::platform::posix {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Connections that have not spoken yet, heard at once; more are cut off, oldest first, so that
// none can pile up fds.
constexpr std::size_t kMaxWaiting = 8;

}  // namespace

SingleInstance::SingleInstance(const std::string& name, std::chrono::milliseconds answerTime) {
  const Clock::time_point deadline = Clock::now() + answerTime;
  for (int step = 0; step < kInstanceNames;) {
    const ChannelAddress address = channelAddress(instanceNameAt(name, step));
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
    switch (knock(address, deadline, kShowRequest, kShownAnswer)) {
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
  if (packet == kShowRequest) {
    ::send(connection, kShownAnswer.data(), kShownAnswer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
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
    const std::string_view answer = commands_ && commands_(word) ? kTakenAnswer : kRefusedAnswer;
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
