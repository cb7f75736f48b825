// Paths followed one component at a time, each opened relative to the folder before it with
// O_NOFOLLOW: a path of any length works (the kernel refuses one past PATH_MAX), and every link
// is followed by us, under the rule the kernel applies with protected_symlinks, whatever the
// system's setting.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/descriptor.hpp"

namespace tollivane::platform::posix {

// A name in a folder that is held open.
struct Location {
  Descriptor folder;  // opened as a path only (O_PATH): enough to look up, create and rename
  std::string name;   // empty when the path ends with '/'
};

// What the link `name` in `folder` points to (with "" for `name`, the link `folder` itself was
// opened as), or nothing with errno set.
std::optional<std::string> readLink(int folder, const char* name);

enum class MissingFolders { Fail, Make };

// The reason walkTo gives for a link it does not follow.
inline constexpr std::string_view kForeignLink =
    "is reached through a link that another user owns in a shared folder";

// The folder that holds the last component of `path` (after following links, the last one's
// included) and its name there; the name need not exist. Folders on the way that are missing
// fail, or with MissingFolders::Make are created private to the user (0700), except in the
// target of a link that is the path's last component. A link is not
// followed when another user owns it in a sticky or world-writable folder whose owner is not
// that user either: someone else may have planted it to make us write where they cannot.
// Returns nothing and sets `reason` on failure.
std::optional<Location> walkTo(const std::string& path, MissingFolders missing,
                               std::string& reason);

// The file walkTo with MissingFolders::Make reaches, under the same rules and refusals, named
// from the root with no link, "." or ".." left, and nothing made: a folder not made yet, and
// what the path names below it, are taken by name. Nothing, with `reason`, where walkTo fails.
std::optional<std::string> resolvedPath(const std::string& path, std::string& reason);

}  // namespace tollivane::platform::posix
