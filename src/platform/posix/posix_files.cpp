#include "platform/posix/posix_files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace tollivane::platform::posix {
namespace {

std::string reasonFor(int error) { return std::generic_category().message(error); }

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now, so that a failure to close (a late write error) can be reported.
  int close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

std::string parentFolder(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string joinPath(const std::string& folder, std::string_view name) {
  std::string joined = folder;
  if (joined.empty() || joined.back() != '/') joined += '/';
  joined += name;
  return joined;
}

std::optional<std::string> readLink(const std::string& path) {
  std::string buffer(256, '\0');
  for (;;) {
    const auto length = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (length < 0) return std::nullopt;
    if (static_cast<std::size_t>(length) < buffer.size()) {
      buffer.resize(static_cast<std::size_t>(length));
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

// The file that a write to `path` must replace: links followed, even to a file not yet there.
std::optional<std::string> resolveLinks(std::string path, int& error) {
  constexpr int kMaxHops = 40;  // the kernel's own limit
  for (int hop = 0; hop < kMaxHops; ++hop) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    auto target = readLink(path);
    if (!target) {
      error = errno;
      return std::nullopt;
    }
    path = target->starts_with('/') ? *target : joinPath(parentFolder(path), *target);
  }
  error = ELOOP;
  return std::nullopt;
}

// Read without changing it: the umask() call would leave a window in which another thread
// creates files with no mask at all.
mode_t currentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("Umask:")) {
      return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    }
  }
  return 022;
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

}  // namespace

std::string executableFolder() {
  const auto program = readLink("/proc/self/exe");
  if (!program || program->empty()) return ".";
  return parentFolder(*program);
}

bool isFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> readWholeFile(const std::string& path) {
  Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return std::nullopt;
  std::string contents;
  char buffer[8192];
  for (;;) {
    const auto got = ::read(file.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) return contents;
    contents.append(buffer, static_cast<std::size_t>(got));
  }
}

std::string replaceFileAtomically(const std::string& path, std::string_view bytes) {
  int error = 0;
  const auto target = resolveLinks(path, error);
  if (!target) return reasonFor(error);

  // A rename needs only the folder's permission: honour a file the user made read-only
  // (even for root, as a read-only file is on Windows) instead of replacing it.
  struct stat current {};
  if (::stat(target->c_str(), &current) == 0 && S_ISREG(current.st_mode)) {
    if ((current.st_mode & 0222) == 0) return reasonFor(EACCES);
    if (::access(target->c_str(), W_OK) != 0) return reasonFor(errno);
  }

  const auto folder = parentFolder(*target);
  const auto slash = target->rfind('/');
  const auto name = slash == std::string::npos ? *target : target->substr(slash + 1);
  std::string temporary = joinPath(folder, "." + name + ".XXXXXX");
  Descriptor file(::mkstemp(temporary.data()));
  if (file.get() < 0) return reasonFor(errno);

  const auto fail = [&](int cause) {
    ::unlink(temporary.c_str());
    return reasonFor(cause);
  };

  struct stat existing {};
  const bool exists = ::stat(target->c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
  // mkstemp makes the file private (0600); give it the old file's mode, or a new file's.
  const mode_t mode =
      exists ? (existing.st_mode & 07777) : (static_cast<mode_t>(0666) & ~currentUmask());
  if (::fchmod(file.get(), mode) != 0) return fail(errno);
  if (!writeAll(file.get(), bytes)) return fail(errno);
  if (::fsync(file.get()) != 0) return fail(errno);
  if (file.close() != 0) return fail(errno);
  if (::rename(temporary.c_str(), target->c_str()) != 0) return fail(errno);

  // Makes the rename itself durable. The file is already replaced, so a folder that cannot be
  // synced (some file systems refuse) is no reason to report a failure.
  Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.get() >= 0) ::fsync(directory.get());
  return {};
}

}  // namespace tollivane::platform::posix
