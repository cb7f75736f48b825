#include "platform/posix/program_folder.hpp"

#include <fcntl.h>
#include <sys/auxv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

#include "platform/posix/path_walk.hpp"

namespace tollivane::platform::posix {
namespace {

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

bool sameFile(const std::string& path, const struct stat& expected) {
  std::string reason;
  const auto at = walkTo(path, MissingFolders::Fail, reason);
  struct stat info {};
  return at && ::fstatat(at->folder.get(), at->name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
         info.st_dev == expected.st_dev && info.st_ino == expected.st_ino;
}

}  // namespace

std::string executableFolder() {
  // Following the link works for a path of any length; reading it does not.
  struct stat self {};
  if (::stat("/proc/self/exe", &self) != 0) return {};
  auto program = readLink(AT_FDCWD, "/proc/self/exe");
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

}  // namespace tollivane::platform::posix
