#include "platform/posix/posix_files.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/auxv.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace tollivane::platform::posix {
namespace {

std::string reasonFor(int error) { return std::generic_category().message(error); }

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

std::string parentFolder(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string baseName(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string joinPath(const std::string& folder, std::string_view name) {
  std::string joined = folder;
  if (joined.empty() || joined.back() != '/') joined += '/';
  joined += name;
  return joined;
}

// Opens a folder by a path of any length: one the kernel refuses as too long (more than
// PATH_MAX bytes) is walked a component at a time.
Descriptor openFolder(const std::string& path, int flags) {
  flags |= O_DIRECTORY | O_CLOEXEC;
  Descriptor direct(::open(path.c_str(), flags));
  if (direct.get() >= 0 || errno != ENAMETOOLONG) return direct;
  Descriptor at(::open(path.starts_with('/') ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
  std::size_t pos = 0;
  while (at.get() >= 0) {
    pos = path.find_first_not_of('/', pos);
    if (pos == std::string::npos) break;
    const auto end = std::min(path.find('/', pos), path.size());
    const bool last = path.find_first_not_of('/', end) == std::string::npos;
    const std::string part = path.substr(pos, end - pos);
    at = Descriptor(
        ::openat(at.get(), part.c_str(), last ? flags : O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (last) return at;
    pos = end;
  }
  return at;
}

// A file named by its folder, held open, and its name in it.
struct Location {
  Descriptor folder;
  std::string folderPath;
  std::string name;
};

// The folder opened for reading where possible (a lock needs that), else only as a path.
std::optional<Location> locate(const std::string& path, int& error) {
  Location at{Descriptor(), parentFolder(path), baseName(path)};
  at.folder = openFolder(at.folderPath, O_RDONLY);
  if (at.folder.get() < 0 && errno == EACCES) at.folder = openFolder(at.folderPath, O_PATH);
  if (at.folder.get() < 0) {
    error = errno;
    return std::nullopt;
  }
  return at;
}

std::optional<std::string> readLinkAt(int folder, const char* name) {
  std::string buffer(256, '\0');
  for (;;) {
    const auto length = ::readlinkat(folder, name, buffer.data(), buffer.size());
    if (length < 0) return std::nullopt;
    if (static_cast<std::size_t>(length) < buffer.size()) {
      buffer.resize(static_cast<std::size_t>(length));
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

// The file that a write to `path` must replace: links followed, even to a file not yet there.
std::optional<Location> resolveLinks(std::string path, int& error) {
  constexpr int kMaxHops = 40;  // the kernel's own limit
  for (int hop = 0; hop < kMaxHops; ++hop) {
    auto at = locate(path, error);
    if (!at) return std::nullopt;
    struct stat info {};
    if (::fstatat(at->folder.get(), at->name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISLNK(info.st_mode)) {
      return at;
    }
    auto target = readLinkAt(at->folder.get(), at->name.c_str());
    if (!target) {
      error = errno;
      return std::nullopt;
    }
    path = target->starts_with('/') ? *target : joinPath(at->folderPath, *target);
  }
  error = ELOOP;
  return std::nullopt;
}

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

// Opens and reads a regular file without blocking on whatever else the name may be.
// `current` stays empty when there is no such file.
std::string readRegular(int folder, const std::string& name, int followFlag,
                        std::optional<std::string>& current) {
  struct stat info {};
  // Refused before opening: opening a device can have effects of its own.
  if (::fstatat(folder, name.c_str(), &info, followFlag) != 0) {
    return errno == ENOENT ? std::string() : reasonFor(errno);
  }
  if (!S_ISREG(info.st_mode)) return notRegular(info.st_mode);
  const int noFollow = followFlag == AT_SYMLINK_NOFOLLOW ? O_NOFOLLOW : 0;
  Descriptor file(
      ::openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | noFollow));
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
constexpr std::size_t kTemporaryDigits = 8;

// Holds other processes' updates in the same folder off. Waits a bounded time: a process that
// keeps the lock must not hang this one for good.
class FolderLock {
 public:
  explicit FolderLock(int folder) : folder_(folder) {
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + seconds(5);
    for (;;) {
      if (::flock(folder_, LOCK_EX | LOCK_NB) == 0) {
        state_ = State::Held;
        return;
      }
      // A folder opened only as a path (no read permission) cannot be locked.
      if (errno == EBADF) return;
      if (errno != EWOULDBLOCK && errno != EINTR) return;
      if (steady_clock::now() >= deadline) {
        state_ = State::Busy;
        return;
      }
      std::this_thread::sleep_for(milliseconds(5));
    }
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock() {
    if (state_ == State::Held) ::flock(folder_, LOCK_UN);
  }
  bool held() const { return state_ == State::Held; }
  bool busy() const { return state_ == State::Busy; }

 private:
  enum class State { Unlocked, Held, Busy };
  int folder_;
  State state_ = State::Unlocked;
};

// Removes the temporaries of updates that were cut off (the process killed mid-write). Runs
// under the folder's lock, so no other update of ours is writing one; the age rule also
// spares a temporary of a program that does not take the lock.
void removeStaleTemporaries(int folder, const std::string& fileName) {
  constexpr time_t kStaleSeconds = 60;
  Descriptor listing(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (listing.get() < 0) return;
  DIR* dir = ::fdopendir(listing.get());
  if (dir == nullptr) return;
  listing.release();  // the stream owns it now
  std::vector<std::string> stale;
  const time_t now = ::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    if (!isTemporaryOf(entry->d_name, fileName)) continue;
    struct stat info {};
    if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(info.st_mode) && now - info.st_mtime > kStaleSeconds) {
      stale.emplace_back(entry->d_name);
    }
  }
  for (const auto& name : stale) ::unlinkat(::dirfd(dir), name.c_str(), 0);
  ::closedir(dir);
}

std::string randomDigits() {
  unsigned char bytes[kTemporaryDigits / 2] = {};
  if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    const auto clock = static_cast<unsigned long>(::clock());
    for (std::size_t i = 0; i < sizeof bytes; ++i) {
      bytes[i] = static_cast<unsigned char>((clock >> (8 * i)) ^ static_cast<unsigned>(::getpid()));
    }
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string digits;
  for (unsigned char b : bytes) {
    digits += kHex[b >> 4];
    digits += kHex[b & 15];
  }
  return digits;
}

// Writes the new bytes beside the target and renames them over it.
std::string replaceIn(const Location& target, const struct stat* existing, std::string_view bytes) {
  const int folder = target.folder.get();
  std::string temporary;
  Descriptor file;
  for (int attempt = 0; attempt < 100 && file.get() < 0; ++attempt) {
    temporary = "." + target.name + std::string(kTemporaryMark) + randomDigits();
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
  // synced (some file systems refuse) is no reason to report a failure.
  ::fsync(folder);
  return {};
}

bool sameFile(const std::string& path, const struct stat& expected) {
  int error = 0;
  const auto at = locate(path, error);
  struct stat info {};
  return at && ::fstatat(at->folder.get(), at->name.c_str(), &info, 0) == 0 &&
         info.st_dev == expected.st_dev && info.st_ino == expected.st_ino;
}

}  // namespace

bool isTemporaryOf(std::string_view name, std::string_view fileName) {
  if (!name.starts_with('.')) return false;
  name.remove_prefix(1);
  if (!name.starts_with(fileName)) return false;
  name.remove_prefix(fileName.size());
  if (!name.starts_with(kTemporaryMark)) return false;
  name.remove_prefix(kTemporaryMark.size());
  return name.size() == kTemporaryDigits && std::all_of(name.begin(), name.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

std::string executableFolder() {
  // Following the link works for a path of any length; reading it does not.
  struct stat self {};
  if (::stat("/proc/self/exe", &self) != 0) return {};
  auto program = readLinkAt(AT_FDCWD, "/proc/self/exe");
  if (!program || !sameFile(*program, self)) {
    // The kernel names no path longer than a page (and marks a deleted one): try the name the
    // program was started by, from the folder it was started in.
    const char* started = reinterpret_cast<const char*>(::getauxval(AT_EXECFN));
    if (started == nullptr || *started == '\0') return {};
    program = started;
    if (!program->starts_with('/')) {
      char* here = ::getcwd(nullptr, 0);
      if (here == nullptr) return {};
      std::string relative = *program;
      while (relative.starts_with("./")) relative.erase(0, 2);
      program = joinPath(here, relative);
      std::free(here);
    }
    if (!sameFile(*program, self)) return {};
  }
  return parentFolder(*program);
}

bool isFile(const std::string& path) {
  int error = 0;
  const auto at = locate(path, error);
  struct stat info {};
  return at && !at->name.empty() && ::fstatat(at->folder.get(), at->name.c_str(), &info, 0) == 0 &&
         !S_ISDIR(info.st_mode);
}

std::optional<std::string> readWholeFile(const std::string& path) {
  int error = 0;
  const auto at = locate(path, error);
  if (!at || at->name.empty()) return std::nullopt;
  std::optional<std::string> contents;
  if (!readRegular(at->folder.get(), at->name, 0, contents).empty()) return std::nullopt;
  return contents;
}

namespace {

// An update with `edit`, or, without one, a replacement by `fixed` that never reads the file.
std::string update(const std::string& path, const FileEdit* edit, std::string_view fixed) {
  int error = 0;
  const auto target = resolveLinks(path, error);
  if (!target) return reasonFor(error);
  if (target->name.empty()) return reasonFor(EISDIR);
  const int folder = target->folder.get();
  const FolderLock lock(folder);
  if (lock.busy()) return "another program keeps its folder locked";

  std::optional<std::string> updated(fixed);
  if (edit != nullptr) {
    std::optional<std::string> current;
    if (auto reason = readRegular(folder, target->name, AT_SYMLINK_NOFOLLOW, current);
        !reason.empty()) {
      return reason;
    }
    updated = (*edit)(current);
    // Nothing to change: leave the file alone, so that a save that changes nothing cannot fail.
    if (!updated) return {};
  }

  struct stat existing {};
  const bool exists = ::fstatat(folder, target->name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
  if (exists) {
    if (!S_ISREG(existing.st_mode)) return notRegular(existing.st_mode);
    // A rename needs only the folder's permission: honour a file the user made read-only
    // (even for root, as a read-only file is on Windows) instead of replacing it.
    if ((existing.st_mode & 0222) == 0) return reasonFor(EACCES);
    if (::faccessat(folder, target->name.c_str(), W_OK, 0) != 0) return reasonFor(errno);
  }
  if (lock.held()) removeStaleTemporaries(folder, target->name);
  return replaceIn(*target, exists ? &existing : nullptr, *updated);
}

}  // namespace

std::string updateFileAtomically(const std::string& path, const FileEdit& edit) {
  return update(path, &edit, {});
}

std::string replaceFileAtomically(const std::string& path, std::string_view bytes) {
  return update(path, nullptr, bytes);
}

}  // namespace tollivane::platform::posix
