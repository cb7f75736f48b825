// Settings files on POSIX systems, read and replaced whole, shared by the backends that run there.
//
// Only a regular file is ever read or replaced: nothing here blocks on a FIFO, reads a device
// without end or replaces a device node. Paths may be of any length. Links are followed, except
// one that another user owns in a shared folder (path_walk.hpp): such a path is neither read
// nor replaced.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.hpp"

namespace tollivane::platform::posix {

// True when the path, after following links, names anything but a folder: a FIFO or a device
// counts, since it is there, though nothing can be read from it as a file, and so does a link
// that is not followed.
bool isFile(const std::string& path);

// The whole file, or nothing when it cannot be opened or read, is not a regular file or is
// larger than kMaxFileSize. Never blocks on what the path names.
std::optional<std::string> readWholeFile(const std::string& path);

// What an update makes of the file's bytes (nothing when there is no file yet): the new bytes,
// or nothing to leave the file as it is.
using FileEdit =
    std::function<std::optional<std::string>(const std::optional<std::string>& current)>;

// Reads the file and replaces its bytes with what `edit` makes of them, so that no reader ever
// sees the file torn or empty: a temporary file in the same folder, written, flushed to disk
// and renamed over the target. Updates of files in the same folder by other processes wait
// for each other (update_lock.hpp), so none is lost; where nothing can be locked, the update
// is made all the same and says so on stderr. A link is followed and the file it points to is
// replaced. An existing file keeps its permission bits, and its owner and group as far as the
// process may set them. New bytes larger than kMaxFileSize are refused, since no read would
// take them. Temporaries that interrupted updates left behind are removed once they are
// stale. Returns "" on success, otherwise the reason (for example "No such file or directory",
// "is a FIFO, not a regular file"); on failure the target is unchanged and no temporary file of
// this update remains. Exceptions from `edit` pass through.
std::string updateFileAtomically(const std::string& path, const FileEdit& edit);

// updateFileAtomically with the given bytes, whatever the file held.
std::string replaceFileAtomically(const std::string& path, std::string_view bytes);

// True for the name of a temporary file that an update of `fileName` makes.
bool isTemporaryOf(std::string_view name, std::string_view fileName);

}  // namespace tollivane::platform::posix
