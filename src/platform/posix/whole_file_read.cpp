#include "platform/posix/whole_file_read.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>

#include "platform/platform.hpp"
#include "platform/posix/path_walk.hpp"

namespace tollivane::platform::posix {
namespace {

std::string reasonFor(int error) { return std::generic_category().message(error); }

const std::string kTooLarge = "is larger than " + std::to_string(kMaxFileSize >> 20) + " MiB";

// Reads an opened file to its end, at most `largest` bytes. Returns "" or the reason.
std::string readOpened(int fd, std::string& contents, std::size_t largest) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return reasonFor(errno);
  // The type of what was opened, not of the name: the name may have changed in between.
  if (!S_ISREG(info.st_mode)) return notRegular(info.st_mode);
  if (static_cast<std::size_t>(info.st_size) > largest) return kTooLarge;
  // One byte more than the size, so that a file that grew since is still read in one pass.
  contents.resize(static_cast<std::size_t>(info.st_size) + 1);
  std::size_t have = 0;
  for (;;) {
    if (have == contents.size()) {
      if (have > largest) return kTooLarge;
      contents.resize(std::min(have * 2, largest + 1));
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

}  // namespace

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

std::string readRegularIn(int folder, const std::string& name, std::optional<std::string>& current,
                          std::size_t largest) {
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
  if (auto reason = readOpened(file.get(), contents, largest); !reason.empty()) return reason;
  current = std::move(contents);
  return {};
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

std::optional<std::string> readWholeFile(const std::string& path, std::size_t largest) {
  std::string reason;
  const auto at = walkTo(path, MissingFolders::Fail, reason);
  if (!at || at->name.empty()) return std::nullopt;
  std::optional<std::string> contents;
  if (!readRegularIn(at->folder.get(), at->name, contents, largest).empty()) return std::nullopt;
  return contents;
}

}  // namespace tollivane::platform::posix
