#include "platform/posix/update_temporaries.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

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

// Runs under the update lock where there is one, so no other update of ours is writing one;
// the age rule also spares a temporary of an update that has no lock. What is not a regular
// file under our names was never one of ours to write: a link, a FIFO or a device goes at once
// (the entry itself, never what a link names), an empty folder too, and a full one is stepped
// past.
void removeStaleTemporaries(int folder, const std::string& fileName) {
  constexpr time_t kStaleSeconds = 60;
  const time_t now = ::time(nullptr);
  for (int number = 0; number < kTemporaries; ++number) {
    const std::string name = temporaryName(fileName, number);
    struct stat info {};
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISDIR(info.st_mode)) {
      ::unlinkat(folder, name.c_str(), AT_REMOVEDIR);
    } else if (!S_ISREG(info.st_mode) || now - info.st_mtime > kStaleSeconds) {
      ::unlinkat(folder, name.c_str(), 0);
    }
  }
}

}  // namespace tollivane::platform::posix
