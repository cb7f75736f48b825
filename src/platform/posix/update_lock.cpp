#include "platform/posix/update_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string>
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

// Root's stand-in for another user's folder, handed to that user before it is named: named
// first, it would be closed to the user's own copy for a moment.
Descriptor handedOver(int dir, const char* name, uid_t owner) {
  Descriptor lock(::openat(dir, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
  if (lock.get() < 0 || ::fchown(lock.get(), owner, static_cast<gid_t>(-1)) != 0 ||
      ::linkat(lock.get(), "", dir, name, AT_EMPTY_PATH) != 0) {
    return Descriptor();
  }
  return lock;
}

// The stand-in for the folder's lock, or -1: a file in the runtime folder of the folder's
// owner, found by a path every copy knows whatever its environment or its user. It counts
// only where it is private to that owner, as logind makes it, so that no one else can hold it
// against us.
Descriptor lockFileFor(int folder) {
  struct stat folderInfo {};
  if (::fstat(folder, &folderInfo) != 0) return Descriptor();
  const uid_t owner = folderInfo.st_uid;
  const std::string runtime = "/run/user/" + std::to_string(owner);
  Descriptor dir(::open(runtime.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat dirInfo {};
  if (dir.get() < 0 || ::fstat(dir.get(), &dirInfo) != 0 || !S_ISDIR(dirInfo.st_mode) ||
      dirInfo.st_uid != owner || (dirInfo.st_mode & 077) != 0) {
    return Descriptor();
  }
  char name[64];
  std::snprintf(name, sizeof name, "tollivane-save-%llx-%llx.lock",
                static_cast<unsigned long long>(folderInfo.st_dev),
                static_cast<unsigned long long>(folderInfo.st_ino));
  constexpr int kFlags = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  Descriptor lock = owner == ::geteuid()
                        ? Descriptor(::openat(dir.get(), name, kFlags | O_CREAT, 0600))
                        : handedOver(dir.get(), name, owner);
  if (lock.get() < 0) lock = Descriptor(::openat(dir.get(), name, kFlags));
  return lock;
}

enum class Opened { Yes, Gone, Foreign, Unusable };

// The lock file beside `name`, made where it is not there yet. Gone: removed as it was opened;
// Foreign: another user's, closed to this one; Unusable: it cannot be made, or the name is
// taken by something that is not a regular file.
Descriptor openLockFile(int folder, const std::string& lockName, const std::string& name,
                        Opened& opened) {
  opened = Opened::Yes;
  // Non-blocking and never through a link: whatever else is put there, the open must not hang.
  constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  Descriptor lock(::openat(folder, lockName.c_str(), O_RDWR | O_CREAT | O_EXCL | kFlags, 0600));
  if (lock.get() >= 0) {
    // Whoever may write the settings file may take its lock: root's lock file for a user's
    // file goes to that user, or the user's save would find it closed.
    struct stat file {};
    if (::fstatat(folder, name.c_str(), &file, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(file.st_mode)) {
      if (file.st_uid != ::geteuid() || file.st_gid != ::getegid()) {
        [[maybe_unused]] const int ignored = ::fchown(lock.get(), file.st_uid, file.st_gid);
      }
      const mode_t shared =
          ((file.st_mode & S_IWGRP) ? 0060 : 0) | ((file.st_mode & S_IWOTH) ? 0006 : 0);
      if (shared != 0) ::fchmod(lock.get(), 0600 | shared);
    }
    return lock;
  }
  if (errno != EEXIST) {
    opened = Opened::Unusable;
    return lock;
  }
  lock = Descriptor(::openat(folder, lockName.c_str(), O_RDWR | kFlags));
  // flock needs only an open descriptor: read access is enough.
  if (lock.get() < 0 && errno == EACCES) {
    lock = Descriptor(::openat(folder, lockName.c_str(), O_RDONLY | kFlags));
  }
  if (lock.get() < 0) {
    opened = errno == ENOENT ? Opened::Gone : errno == EACCES ? Opened::Foreign : Opened::Unusable;
    return lock;
  }
  struct stat info {};
  if (::fstat(lock.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    opened = Opened::Unusable;
    return Descriptor();
  }
  return lock;
}

bool stillNamed(int folder, const std::string& lockName, int fd) {
  struct stat named {};
  struct stat held {};
  return ::fstatat(folder, lockName.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
         ::fstat(fd, &held) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino;
}

}  // namespace

UpdateLock::UpdateLock(int folder, const std::string& name, std::chrono::milliseconds patience)
    : readable_(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
      folder_(folder),
      lockName_(lockFileName(name)) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  const auto take = [&](int fd) {
    const int error = lockBefore(fd, deadline);
    if (error == 0) state_ = State::Held;
    if (error == EWOULDBLOCK) state_ = State::Busy;
    return error == 0 || error == EWOULDBLOCK;
  };
  for (;;) {
    Opened opened = Opened::Yes;
    Descriptor lock = openLockFile(folder, lockName_, name, opened);
    if (opened == Opened::Gone) continue;
    if (opened == Opened::Foreign) {
      // Another user's, while that user saves: it goes when the save is done.
      if (std::chrono::steady_clock::now() >= deadline) {
        state_ = State::Foreign;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    if (opened == Opened::Unusable) break;
    if (!take(lock.get())) break;
    if (state_ == State::Busy) return;
    // The holder before us removed it as it let go: the lock is the file now named so.
    if (!stillNamed(folder, lockName_, lock.get())) {
      state_ = State::None;
      continue;
    }
    lockFile_ = std::move(lock);
    ownsLockFile_ = true;
    return;
  }
  // The folder and then the stand-in, one after the other: a copy that may not read the folder
  // (its owner, in one of mode 0300) takes only the stand-in, and still holds off root's.
  if (readable_.get() >= 0) take(readable_.get());
  if (state_ == State::Busy) return;
  lockFile_ = lockFileFor(folder);
  if (lockFile_.get() >= 0) take(lockFile_.get());
}

UpdateLock::~UpdateLock() {
  // Removed before it is let go, so that no lock file outlives an update; whoever waited on it
  // sees that it is gone and makes a new one.
  if (ownsLockFile_) ::unlinkat(folder_, lockName_.c_str(), 0);
}

}  // namespace tollivane::platform::posix
