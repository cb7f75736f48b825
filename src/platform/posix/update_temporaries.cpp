#include "platform/posix/update_temporaries.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

#include <cerrno>

namespace tollivane::platform::posix {
namespace {

constexpr std::string_view kTemporaryMark = ".saving-";
constexpr int kTemporaries = 8;

std::string temporaryName(const std::string& fileName, int number) {
  return "." + fileName + std::string(kTemporaryMark) + static_cast<char>('0' + number);
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

Descriptor createTemporary(int folder, const std::string& fileName, mode_t mode,
                           std::string& temporary) {
  for (int number = 0; number < kTemporaries; ++number) {
    temporary = temporaryName(fileName, number);
    Descriptor file(::openat(folder, temporary.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (file.get() >= 0 || errno != EEXIST) return file;
  }
  errno = EEXIST;
  return Descriptor();
}

// Runs under the update lock where there is one, so no other update of ours is writing one;
// the age rule also spares a temporary of an update that has no lock.
void removeStaleTemporaries(int folder, const std::string& fileName) {
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

}  // namespace tollivane::platform::posix
