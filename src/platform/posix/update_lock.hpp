// Holds other processes' updates of one file off, so that none is lost.
//
// The lock is a file beside it (".Tollivane.ini.lock"), locked with flock: every copy of the
// program, whoever runs it and whatever its environment, finds the same one. It lasts only as
// long as the update. Made by root for another user's settings file, it is handed to that user,
// so the two hold each other off; one that this user may not open is waited for like a held
// one, and when it stays the update is refused instead of made beside it.
//
// Only where no such file can be had or locked (a file system that refuses locks, the name
// taken by something that is not a regular file) do two others stand in: the folder itself,
// for every copy that may read it, and a lock file named after the folder's device and inode
// in /run/user/<uid of the folder's owner>, for every copy that may open it there. Both are
// found by what is on disk, never by a copy's environment. Where neither can be had there is
// no lock.
#pragma once

#include <chrono>
#include <string>

#include "platform/posix/descriptor.hpp"

namespace tollivane::platform::posix {

class UpdateLock {
 public:
  enum class State {
    Held,
    Busy,     // another process kept it for all of `patience`
    Foreign,  // the lock file is another user's, closed to this one
    None,     // nothing here can be locked
  };

  // `folder` may be opened as a path only; `name` is the file's within it. Waits at most
  // `patience` for another process.
  UpdateLock(int folder, const std::string& name, std::chrono::milliseconds patience);
  ~UpdateLock();
  UpdateLock(const UpdateLock&) = delete;
  UpdateLock& operator=(const UpdateLock&) = delete;

  State state() const { return state_; }
  // The folder opened for reading, or -1 when the user may not read it.
  int readableFolder() const { return readable_.get(); }

  // The name of the lock file beside `name`.
  static std::string lockFileName(const std::string& name) { return "." + name + ".lock"; }

 private:
  Descriptor readable_;
  int folder_;
  std::string lockName_;
  Descriptor lockFile_;
  bool ownsLockFile_ = false;
  State state_ = State::None;
};

}  // namespace tollivane::platform::posix
