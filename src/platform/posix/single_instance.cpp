#include "platform/posix/single_instance.hpp"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>

namespace tollivane::platform::posix {
namespace {

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

enum class Knock { Answered, NotOurs, Nobody };

Knock knock(const Address& address) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return Knock::Nobody;
  Knock result = Knock::Nobody;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address.socket), address.length) == 0) {
    ucred peer{};
    socklen_t size = sizeof peer;
    const bool ours =
        ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
    result = ours ? Knock::Answered : Knock::NotOurs;
  }
  ::close(fd);
  return result;
}

}  // namespace

std::string instanceName(uid_t user, std::string_view settingsPath) {
  // FNV-1a: a short, stable digest; the user's id keeps users apart whatever the path.
  std::uint64_t digest = 14695981039346656037u;
  for (const char c : settingsPath) {
    digest = (digest ^ static_cast<unsigned char>(c)) * 1099511628211u;
  }
  char name[64];
  std::snprintf(name, sizeof name, "tollivane/%u/%016llx", static_cast<unsigned>(user),
                static_cast<unsigned long long>(digest));
  return name;
}

SingleInstance::SingleInstance(const std::string& name) {
  using namespace std::chrono_literals;
  const Address address = abstractAddress(name);
  for (int attempt = 0; attempt < 20; ++attempt) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address.socket), address.length) == 0 &&
        ::listen(fd, 8) == 0) {
      role_ = Role::First;
      socket_ = fd;
      return;
    }
    const int error = errno;
    ::close(fd);
    if (error != EADDRINUSE) return;
    switch (knock(address)) {
      case Knock::Answered:
        role_ = Role::Another;
        return;
      case Knock::NotOurs:
        return;
      case Knock::Nobody:
        std::this_thread::sleep_for(50ms);
        break;
    }
  }
}

SingleInstance::~SingleInstance() {
  if (socket_ >= 0) ::close(socket_);
}

int SingleInstance::takeRequests() {
  int taken = 0;
  for (;;) {
    const int fd = ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return taken;
    }
    ::close(fd);
    ++taken;
  }
}

}  // namespace tollivane::platform::posix
