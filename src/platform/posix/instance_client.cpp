#include "platform/posix/instance_client.hpp"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <thread>

#include "platform/posix/single_instance.hpp"

namespace tollivane::platform::posix {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

int millisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, 60'000));
}

}  // namespace

Knock knock(const ChannelAddress& address, Clock::time_point deadline, std::string_view request,
            std::string_view acknowledgement, std::string_view refusal) {
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

SingleInstance::CommandResult SingleInstance::sendCommand(const std::string& name,
                                                          std::string_view word,
                                                          std::chrono::milliseconds answerTime) {
  const std::string request =
      std::string(kCommandStart) + std::string(word) + std::string(kCommandEnd);
  if (request.size() > kLongestPacket || word.find('\n') != std::string_view::npos) {
    return CommandResult::Refused;
  }
  const Clock::time_point deadline = Clock::now() + answerTime;
  for (int step = 0; step < kInstanceNames; ++step) {
    // No wait for a holder still starting: a script is better told at once that none runs.
    switch (knock(channelAddress(instanceNameAt(name, step)), deadline, request, kTakenAnswer,
                  kRefusedAnswer)) {
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

}  // namespace tollivane::platform::posix
