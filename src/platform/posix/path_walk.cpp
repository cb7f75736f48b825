#include "platform/posix/path_walk.hpp"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <string_view>
#include <system_error>
#include <vector>

namespace tollivane::platform::posix {
namespace {

std::string reasonFor(int error) { return std::generic_category().message(error); }

// Pushes the components of `path` so that the first comes off the back first. A path ending
// with '/' gets an empty last component: it must name a folder.
void pushComponents(std::string_view path, std::vector<std::string>& pending) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const auto slash = path.find('/', start);
    const auto part = path.substr(start, slash == std::string_view::npos ? slash : slash - start);
    if (!part.empty() || slash == std::string_view::npos) parts.emplace_back(part);
    if (slash == std::string_view::npos) break;
    start = slash + 1;
  }
  pending.insert(pending.end(), parts.rbegin(), parts.rend());
}

// The kernel's protected_symlinks rule, with "sticky or world-writable" for its "sticky and
// world-writable": a group-writable sticky folder is shared just as well.
bool mayFollow(const struct stat& folder, const struct stat& link) {
  const bool shared = (folder.st_mode & (S_ISVTX | S_IWOTH)) != 0;
  return !shared || link.st_uid == ::geteuid() || link.st_uid == folder.st_uid;
}

Descriptor openPath(int at, const char* name, int flags = 0) {
  return Descriptor(::openat(at, name, O_PATH | O_NOFOLLOW | O_CLOEXEC | flags));
}

}  // namespace

std::optional<std::string> readLink(int folder, const char* name) {
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

namespace {

// walkTo, or, with `unmade`, a walk that makes nothing: at the first folder it would make, it
// ends in the folder before it, with that folder's name and the rest of the path in `unmade`.
std::optional<Location> walk(const std::string& path, MissingFolders missing, std::string& reason,
                             std::vector<std::string>* unmade) {
  constexpr int kMaxLinks = 40;  // the kernel's own limit
  std::vector<std::string> pending;
  pushComponents(path, pending);
  Descriptor at = openPath(AT_FDCWD, path.starts_with('/') ? "/" : ".", O_DIRECTORY);
  int links = 0;
  while (at.get() >= 0) {
    std::string name = std::move(pending.back());
    pending.pop_back();
    const bool last = pending.empty();
    if (!last && (name.empty() || name == ".")) continue;
    Descriptor next = openPath(at.get(), name.c_str());
    if (next.get() < 0) {
      if (errno == ENOENT && last) return Location{std::move(at), std::move(name)};
      if (errno == ENOENT && missing == MissingFolders::Make) {
        if (unmade != nullptr) {
          unmade->push_back(std::move(name));
          unmade->insert(unmade->end(), pending.rbegin(), pending.rend());
          return Location{std::move(at), {}};
        }
        // Made, or made by someone else meanwhile: opened on the next round. Counted with the
        // links, so that a race removing it again and again cannot keep us here.
        if (::mkdirat(at.get(), name.c_str(), 0700) == 0 ||
            (errno == EEXIST && ++links <= kMaxLinks)) {
          pending.push_back(std::move(name));
          continue;
        }
      }
      break;
    }
    struct stat info {};
    if (::fstat(next.get(), &info) != 0) break;
    if (S_ISLNK(info.st_mode)) {
      // Folders are made on the way to the path's own folder only: a link that names the file
      // leads to an existing folder or fails.
      if (last) missing = MissingFolders::Fail;
      struct stat folder {};
      if (::fstat(at.get(), &folder) != 0) break;
      if (!mayFollow(folder, info)) {
        reason = kForeignLink;
        return std::nullopt;
      }
      const auto target = readLink(next.get(), "");
      if (!target) break;
      if (++links > kMaxLinks) {
        errno = ELOOP;
        break;
      }
      if (target->empty()) {
        errno = ENOENT;
        break;
      }
      pushComponents(*target, pending);
      if (target->starts_with('/')) at = openPath(AT_FDCWD, "/", O_DIRECTORY);
      continue;
    }
    if (last) return Location{std::move(at), std::move(name)};
    if (!S_ISDIR(info.st_mode)) {
      errno = ENOTDIR;
      break;
    }
    at = std::move(next);
  }
  reason = reasonFor(errno);
  return std::nullopt;
}

}  // namespace

std::optional<Location> walkTo(const std::string& path, MissingFolders missing,
                               std::string& reason) {
  return walk(path, missing, reason, nullptr);
}

std::optional<std::string> resolvedPath(const std::string& path, std::string& reason) {
  std::vector<std::string> unmade;
  const auto at = walk(path, MissingFolders::Make, reason, &unmade);
  if (!at) return std::nullopt;
  // The kernel's name for the folder held open: reached from the root, with no link on the way.
  auto folder = readLink(AT_FDCWD, ("/proc/self/fd/" + std::to_string(at->folder.get())).c_str());
  if (!folder) {
    reason = reasonFor(errno);
    return std::nullopt;
  }
  if (folder->back() != '/') *folder += '/';
  if (unmade.empty()) return *folder + at->name;
  // Nothing lies below a folder not made yet: from there on the path is plain names, and a
  // ".." back out of the last of them comes to a folder that exists, walked again.
  std::vector<std::string_view> names;
  for (auto part = unmade.begin(); part != unmade.end(); ++part) {
    if (part->empty() || *part == ".") continue;
    if (*part != "..") {
      names.push_back(*part);
      continue;
    }
    names.pop_back();
    if (names.empty()) {
      std::string rest = *folder;
      for (auto next = part + 1; next != unmade.end(); ++next) rest += *next + "/";
      if (rest.size() > 1) rest.pop_back();
      return resolvedPath(rest, reason);
    }
  }
  std::string resolved = *folder;
  for (const std::string_view name : names) (resolved += name) += '/';
  resolved.pop_back();
  return resolved;
}

}  // namespace tollivane::platform::posix
