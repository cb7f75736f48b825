#include "platform/posix/whole_files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/posix/path_walk.hpp"
#include "platform/posix/update_lock.hpp"

namespace tollivane::platform::posix {
namespace {

std::string reasonFor(int error) { return std::generic_category().message(error); }

std::string notRegular(mode_t mode) {
  const char* kind = "not a regular file";
  if (S_ISDIR(mode)) kind = "a folder";
  if (S_ISFIFO(mode)) kind = "a FIFO";
  if (S_ISSOCK(mode)) kind = "a socket";
  if (S_ISCHR(mode)) kind = "a character device";
  if (S_ISBLK(mode)) kind = "a block device";
  if (S_ISLNK(mode)) kind = "a link";
  return std::string("is ") + kind + ", not a regular file";
}

const std::string kTooLarge = "is larger than " + std::to_string(kMaxFileSize >> 20) + " MiB";

// Reads an opened file to its end, at most kMaxFileSize bytes. Returns "" or the reason.
std::string readOpened(int fd, std::string& contents) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return reasonFor(errno);
  // The type of what was opened, not of the name: the name may have changed in between.
  if (!S_ISREG(info.st_mode)) return notRegular(info.st_mode);
  if (static_cast<std::size_t>(info.st_size) > kMaxFileSize) return kTooLarge;
  // One byte more than the size, so that a file that grew since is still read in one pass.
  contents.resize(static_cast<std::size_t>(info.st_size) + 1);
  std::size_t have = 0;
  for (;;) {
    if (have == contents.size()) {
      if (have > kMaxFileSize) return kTooLarge;
      contents.resize(std::min(have * 2, kMaxFileSize + 1));
    }
    const auto got = ::read(fd, contents.data() + have, contents.size() - have);
    if (got < 0) {
      if (errno == EINTR) continue;
      return reasonFor(errno);
    }
    if (got == 0) break;
    have += static_cast<std::size_t>(got);
  }
  contents.resize(have);
  return {};
}

// Opens and reads a regular file without blocking on whatever else the name may be, and without
// following a link (the walk to it did). `current` stays empty when there is no such file.
std::string readRegular(int folder, const std::string& name, std::optional<std::string>& current) {
  struct stat info {};
  // Refused before opening: opening a device can have effects of its own.
  if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENOENT ? std::string() : reasonFor(errno);
  }
  if (!S_ISREG(info.st_mode)) return notRegular(info.st_mode);
  Descriptor file(
      ::openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW));
  if (file.get() < 0) return "the existing file cannot be read (" + reasonFor(errno) + ")";
  std::string contents;
  if (auto reason = readOpened(file.get(), contents); !reason.empty()) return reason;
  current = std::move(contents);
  return {};
}

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

constexpr std::string_view kTemporaryMark = ".saving-";
// Temporaries take the first free of a few fixed names: stale ones are found by name, which
// needs no listing of the folder (that may be written but not read).
constexpr int kTemporaries = 8;

std::string temporaryName(const std::string& fileName, int number) {
  return "." + fileName + std::string(kTemporaryMark) + static_cast<char>('0' + number);
}

// Removes the temporaries of updates that were cut off (the process killed mid-write). Runs
// under the update lock where there is one, so no other update of ours is writing one; the
// age rule also spares a temporary of an update that has no lock.
void removeStaleTemporariesIn(int folder, const std::string& fileName) {
  constexpr time_t kStaleSeconds = 60;
  const time_t now = ::time(nullptr);
  for (int number = 0; number < kTemporaries; ++number) {
    const std::string name = temporaryName(fileName, number);
    struct stat info {};
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
        now - info.st_mtime > kStaleSeconds) {
      ::unlinkat(folder, name.c_str(), 0);
    }
  }
}

// Writes the new bytes beside the target and renames them over it. `readableFolder` (or -1)
// makes the rename durable.
std::string replaceIn(const Location& target, int readableFolder, const struct stat* existing,
                      std::string_view bytes) {
  const int folder = target.folder.get();
  std::string temporary;
  Descriptor file;
  for (int number = 0; number < kTemporaries && file.get() < 0; ++number) {
    temporary = temporaryName(target.name, number);
    // A new file gets the mode the umask allows; an old one gets its own below.
    file = Descriptor(::openat(folder, temporary.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                               existing ? 0600 : 0666));
    if (file.get() < 0 && errno != EEXIST) return reasonFor(errno);
  }
  if (file.get() < 0) return reasonFor(EEXIST);

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

}  // namespace

bool isTemporaryOf(std::string_view name, std::string_view fileName) {
  if (!name.starts_with('.')) return false;
  name.remove_prefix(1);
  if (!name.starts_with(fileName)) return false;
  name.remove_prefix(fileName.size());
  if (!name.starts_with(kTemporaryMark)) return false;
  name.remove_prefix(kTemporaryMark.size());
  return name.size() == 1 && name[0] >= '0' && name[0] < '0' + kTemporaries;
}

bool isFile(const std::string& path) {
  std::string reason;
  const auto at = walkTo(path, MissingFolders::Fail, reason);
  // Something is there, though it is not ours to read: start-up says it could not be read.
  if (!at) return reason == kForeignLink;
  struct stat info {};
  return !at->name.empty() &&
         ::fstatat(at->folder.get(), at->name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
         !S_ISDIR(info.st_mode);
}

std::optional<std::string> readWholeFile(const std::string& path) {
  std::string reason;
  const auto at = walkTo(path, MissingFolders::Fail, reason);
  if (!at || at->name.empty()) return std::nullopt;
  std::optional<std::string> contents;
  if (!readRegular(at->folder.get(), at->name, contents).empty()) return std::nullopt;
  return contents;
}

namespace {

const std::string kWouldBeTooLarge =
    "would be larger than " + std::to_string(kMaxFileSize >> 20) + " MiB";

// An update with `edit`, or, without one, a replacement by `fixed` that never reads the file.
std::string update(const std::string& path, const FileEdit* edit, std::string_view fixed) {
  std::string reason;
  const auto target = walkTo(path, MissingFolders::Fail, reason);
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
    if (reason = readRegular(folder, target->name, current); !reason.empty()) return reason;
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
  removeStaleTemporariesIn(folder, target->name);
  reason = replaceIn(*target, lock.readableFolder(), exists ? &existing : nullptr, *updated);
  if (reason.empty() && lock.state() == UpdateLock::State::None) {
    std::fprintf(stderr,
                 "tollivane: saved %s without a lock: neither a lock file beside it, its folder "
                 "nor a file under $XDG_RUNTIME_DIR can be locked, so a save by another copy of "
                 "the program at the "
                 "same moment may be lost\n",
                 path.c_str());
  }
  return reason;
}

}  // namespace

std::string updateFileAtomically(const std::string& path, const FileEdit& edit) {
  return update(path, &edit, {});
}

std::string replaceFileAtomically(const std::string& path, std::string_view bytes) {
  return update(path, nullptr, bytes);
}

}  // namespace tollivane::platform::posix
