// Holds other processes' updates of the files in one folder off, so that none is lost.
//
// The folder itself is locked (flock) where it can be. Where it cannot, because its file system
// refuses locks (ENOLCK) or the user may write to it but not read it (mode 0300), a lock file of
// the user's own under $XDG_RUNTIME_DIR, named after the folder's device and inode, stands in:
// whether a folder can be locked is the same for every process of the user, so all of them
// choose the same lock. Only where neither can be had is there no lock.
#pragma once

#include <chrono>

#include "platform/posix/descriptor.hpp"

namespace tollivane::platform::posix {

class UpdateLock {
 public:
  enum class State {
    Held,
    Busy,  // another process kept it for all of `patience`
    None,  // nothing here can be locked
  };

  // `folder` may be opened as a path only. Waits at most `patience` for another process.
  UpdateLock(int folder, std::chrono::milliseconds patience);

  State state() const { return state_; }
  // The folder opened for reading, or -1 when the user may not read it.
  int readableFolder() const { return readable_.get(); }

 private:
  Descriptor readable_;
  Descriptor lockFile_;
  State state_ = State::None;
};

}  // namespace tollivane::platform::posix
