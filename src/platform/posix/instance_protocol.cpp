#include "platform/posix/instance_protocol.hpp"

#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace tollivane::platform::posix {

std::string instanceNameAt(const std::string& name, int step) {
  return step == 0 ? name : name + "~" + std::to_string(step);
}

// Abstract: a leading NUL, and the name's exact length, with no terminating NUL.
ChannelAddress channelAddress(const std::string& name) {
  ChannelAddress address;
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

}  // namespace tollivane::platform::posix
