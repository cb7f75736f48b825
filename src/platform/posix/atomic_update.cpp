#include "platform/posix/atomic_update.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <optional>
#include <system_error>

#include "platform/posix/update_lock.hpp"
#include "platform/posix/update_temporaries.hpp"
#include "platform/posix/whole_file_read.hpp"

namespace tollivane::platform::posix {
namespace {

std::string reasonFor(int error) { return std::generic_category().message(error); }

const std::string kWouldBeTooLarge =
    "would be larger than " + std::to_string(kMaxFileSize >> 20) + " MiB";

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Writes the new bytes beside the target and renames them over it. `readableFolder` (or -1)
// makes the rename durable.
std::string replaceIn(const Location& target, int readableFolder, const struct stat* existing,
                      std::string_view bytes) {
  const int folder = target.folder.get();
  std::string temporary;
  // A new file gets the mode the umask allows; an old one gets its own below.
  Descriptor file = createTemporary(folder, target.name, existing ? 0600 : 0666, temporary);
  if (file.get() < 0) return reasonFor(errno);

  const auto fail = [&](int cause) {
    ::unlinkat(folder, temporary.c_str(), 0);
    return reasonFor(cause);
  };
  if (existing) {
    // A save by root (or by a member of the file's group) leaves the file whose it was.
    if ((existing->st_uid != ::geteuid() || existing->st_gid != ::getegid()) &&
        ::fchown(file.get(), existing->st_uid, existing->st_gid) != 0) {
      [[maybe_unused]] const int ignored =
          ::fchown(file.get(), static_cast<uid_t>(-1), existing->st_gid);
    }
    // After the owner: a change of owner clears the set-ID bits.
    if (::fchmod(file.get(), existing->st_mode & 07777) != 0) return fail(errno);
  }
  if (!writeAll(file.get(), bytes)) return fail(errno);
  if (::fsync(file.get()) != 0) return fail(errno);
  if (file.close() != 0) return fail(errno);
  if (::renameat(folder, temporary.c_str(), folder, target.name.c_str()) != 0) return fail(errno);

  // Makes the rename itself durable. The file is already replaced, so a folder that cannot be
  // synced (unreadable, or a file system that refuses) is no reason to report a failure.
  if (readableFolder >= 0) ::fsync(readableFolder);
  return {};
}

// An update with `edit`, or, without one, a replacement by `fixed` that never reads the file.
std::string update(const std::string& path, MissingFolders folders, const Files::FileEdit* edit,
                   std::string_view fixed) {
  std::string reason;
  const auto target = walkTo(path, folders, reason);
  if (!target) return reason;
  if (target->name.empty()) return reasonFor(EISDIR);
  const int folder = target->folder.get();
  const UpdateLock lock(folder, target->name, std::chrono::seconds(5));
  if (lock.state() == UpdateLock::State::Busy) return "another program keeps it locked";
  if (lock.state() == UpdateLock::State::Foreign) {
    return "its lock file " + UpdateLock::lockFileName(target->name) +
           " belongs to another user, who may be saving it";
  }

  std::optional<std::string> updated(fixed);
  if (edit != nullptr) {
    std::optional<std::string> current;
    if (reason = readRegularIn(folder, target->name, current); !reason.empty()) return reason;
    updated = (*edit)(current);
    // Nothing to change: leave the file alone, so that a save that changes nothing cannot fail.
    if (!updated) return {};
  }
  // Every later read would refuse the file, and so every later save.
  if (updated->size() > kMaxFileSize) return kWouldBeTooLarge;

  struct stat existing {};
  const bool exists = ::fstatat(folder, target->name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
  if (exists) {
    if (!S_ISREG(existing.st_mode)) return notRegular(existing.st_mode);
    // A rename needs only the folder's permission: honour a file the user made read-only
    // (even for root, as a read-only file is on Windows) instead of replacing it.
    if ((existing.st_mode & 0222) == 0) return reasonFor(EACCES);
    if (::faccessat(folder, target->name.c_str(), W_OK, 0) != 0) return reasonFor(errno);
  }
  removeStaleTemporaries(folder, target->name);
  reason = replaceIn(*target, lock.readableFolder(), exists ? &existing : nullptr, *updated);
  if (reason.empty() && lock.state() == UpdateLock::State::None) {
    std::fprintf(stderr,
                 "tollivane: saved %s without a lock: neither a lock file beside it, its folder "
                 "nor one in its owner's private /run/user folder can be locked, so a save by "
                 "another copy of the program at the same moment may be lost\n",
                 path.c_str());
  }
  return reason;
}

}  // namespace

std::string updateFileAtomically(const std::string& path, const Files::FileEdit& edit,
                                 MissingFolders folders) {
  return update(path, folders, &edit, {});
}

std::string replaceFileAtomically(const std::string& path, std::string_view bytes,
                                  MissingFolders folders) {
  return update(path, folders, nullptr, bytes);
}

}  // namespace tollivane::platform::posix
