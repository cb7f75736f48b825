#include "platform/posix/update_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace tollivane::platform::posix {
namespace {

// 0 once locked, EWOULDBLOCK when another process held it until `deadline`, else the error.
int lockBefore(int fd, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
    if (errno != EWOULDBLOCK && errno != EINTR) return errno;
    if (std::chrono::steady_clock::now() >= deadline) return EWOULDBLOCK;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// The stand-in for the folder's lock, or -1. The runtime folder must be the user's own and
// private, as the XDG rules promise: in anyone else's, a lock file could be held against us.
Descriptor lockFileFor(int folder) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || runtime[0] != '/') return Descriptor();
  Descriptor dir(::open(runtime, O_PATH | O_DIRECTORY | O_CLOEXEC));
  struct stat dirInfo {};
  struct stat folderInfo {};
  if (dir.get() < 0 || ::fstat(dir.get(), &dirInfo) != 0 || dirInfo.st_uid != ::geteuid() ||
      (dirInfo.st_mode & 077) != 0 || ::fstat(folder, &folderInfo) != 0) {
    return Descriptor();
  }
  char name[64];
  std::snprintf(name, sizeof name, "tollivane-save-%llx-%llx.lock",
                static_cast<unsigned long long>(folderInfo.st_dev),
                static_cast<unsigned long long>(folderInfo.st_ino));
  return Descriptor(
      ::openat(dir.get(), name, O_RDWR | O_CREAT | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600));
}

}  // namespace

UpdateLock::UpdateLock(int folder, std::chrono::milliseconds patience)
    : readable_(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  const auto take = [&](int fd) {
    const int error = lockBefore(fd, deadline);
    if (error == 0) state_ = State::Held;
    if (error == EWOULDBLOCK) state_ = State::Busy;
    return error == 0 || error == EWOULDBLOCK;
  };
  if (readable_.get() >= 0 && take(readable_.get())) return;
  lockFile_ = lockFileFor(folder);
  if (lockFile_.get() >= 0) take(lockFile_.get());
}

}  // namespace tollivane::platform::posix
