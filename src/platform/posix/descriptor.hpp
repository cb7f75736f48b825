// An open file descriptor, closed when it goes.
#pragma once

#include <unistd.h>

#include <utility>

namespace tollivane::platform::posix {

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }
  // Closes now, so that a failure to close (a late write error) can be reported.
  int close() { return ::close(std::exchange(fd_, -1)); }

 private:
  int fd_;
};

}  // namespace tollivane::platform::posix
