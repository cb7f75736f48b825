#include "platform/posix/update_temporaries.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace tollivane::platform::posix {
namespace {

constexpr std::string_view kTemporaryMark = ".saving-";
constexpr int kTemporaries = 8;

std::string temporaryName(const std::string& fileName, int number) {
  return "." + fileName + std::string(kTemporaryMark) + static_cast<char>('0' + number);
}

// Past the fixed names, when something holds every one of them: this process's own, which no
// other live process of ours can be using.
std::string processName(const std::string& fileName, int number) {
  return "." + fileName + std::string(kTemporaryMark) + "p" + std::to_string(::getpid()) + "-" +
         static_cast<char>('0' + number);
}

bool allDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

bool isTemporaryOf(std::string_view name, std::string_view fileName) {
  if (!name.starts_with('.')) return false;
  name.remove_prefix(1);
  if (!name.starts_with(fileName)) return false;
  name.remove_prefix(fileName.size());
  if (!name.starts_with(kTemporaryMark)) return false;
  name.remove_prefix(kTemporaryMark.size());
  if (name.size() == 1) return name[0] >= '0' && name[0] < '0' + kTemporaries;
  // A process's own: "p", its number, "-" and one digit.
  const std::size_t dash = name.rfind('-');
  return name.starts_with('p') && dash != std::string_view::npos && dash + 2 == name.size() &&
         allDigits(name.substr(1, dash - 1)) && name[dash + 1] >= '0' &&
         name[dash + 1] < '0' + kTemporaries;
}

Descriptor createTemporary(int folder, const std::string& fileName, mode_t mode,
                           std::string& temporary) {
  // O_EXCL with O_NOFOLLOW: whatever holds a name, a link among them, is stepped past.
  for (int number = 0; number < 2 * kTemporaries; ++number) {
    temporary = number < kTemporaries ? temporaryName(fileName, number)
                                      : processName(fileName, number - kTemporaries);
    Descriptor file(::openat(folder, temporary.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (file.get() >= 0 || errno != EEXIST) return file;
  }
  errno = EEXIST;
  return Descriptor();
}

namespace {

constexpr time_t kStaleSeconds = 60;

enum class Name { Free, Freed, Held };

// Removes `name` in `folder` when what stands there was never one of ours to write (a link, a
// FIFO, a device, an empty folder: the entry itself, never what a link names) or is a file
// left stale.
Name clearName(int folder, const char* name, time_t now, bool abandoned) {
  struct stat info {};
  if (::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENOENT ? Name::Free : Name::Held;
  }
  bool removed = false;
  if (S_ISDIR(info.st_mode)) {
    removed = ::unlinkat(folder, name, AT_REMOVEDIR) == 0;
  } else if (!S_ISREG(info.st_mode) || abandoned || now - info.st_mtime > kStaleSeconds) {
    removed = ::unlinkat(folder, name, 0) == 0;
  }
  return removed ? Name::Freed : Name::Held;
}

// The process names of processes that are gone, found by listing the folder where it may be
// listed.
void removeAbandonedTemporaries(int folder, const std::string& fileName, time_t now) {
  const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return;
  DIR* entries = ::fdopendir(listing);
  if (entries == nullptr) {
    ::close(listing);
    return;
  }
  const std::string prefix = "." + fileName + std::string(kTemporaryMark) + "p";
  while (const dirent* entry = ::readdir(entries)) {
    const std::string_view name = entry->d_name;
    if (!name.starts_with(prefix) || !isTemporaryOf(name, fileName)) continue;
    const auto pid = static_cast<pid_t>(std::atol(entry->d_name + prefix.size()));
    const bool gone = pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH;
    clearName(folder, entry->d_name, now, gone);
  }
  ::closedir(entries);
}

}  // namespace

// Runs under the update lock where there is one, so no other update of ours is writing one;
// the age rule also spares a temporary of an update that has no lock. A process name is taken
// only while every fixed one is held, so the folder is listed only where one was.
void removeStaleTemporaries(int folder, const std::string& fileName) {
  const time_t now = ::time(nullptr);
  bool leftovers = false;
  for (int number = 0; number < kTemporaries; ++number) {
    leftovers |=
        clearName(folder, temporaryName(fileName, number).c_str(), now, false) != Name::Free;
  }
  if (leftovers) removeAbandonedTemporaries(folder, fileName, now);
}

}  // namespace tollivane::platform::posix
