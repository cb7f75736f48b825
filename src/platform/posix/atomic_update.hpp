// Settings files on POSIX systems replaced whole, so that no reader ever sees one torn or empty.
//
// Only a regular file is ever replaced: nothing here replaces a device node. Paths may be of
// any length. Links are followed, except one that another user owns in a shared folder
// (path_walk.hpp): such a path is not replaced.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.hpp"
#include "platform/posix/path_walk.hpp"

namespace tollivane::platform::posix {

// Reads the file and replaces its bytes with what `edit` makes of them: a temporary file in the
// same folder (update_temporaries.hpp), written, flushed to disk and renamed over the target.
// Updates of files in the same folder by other processes wait for each other (update_lock.hpp),
// so none is lost; where nothing can be locked, the update is made all the same and says so on
// stderr. A link is followed and the file it points to is replaced. An existing file keeps its
// permission bits, and its owner and group as far as the process may set them. New bytes larger
// than kMaxFileSize are refused, since no read would take them. Temporaries that interrupted
// updates left behind are removed once they are stale. With MissingFolders::Make, missing
// folders of the path are made as path_walk.hpp makes them; those of a link's target are not.
// Returns "" on success, otherwise the reason (for example "No such file or directory", "is a
// FIFO, not a regular file"); on failure the target is unchanged and no temporary file of this
// update remains. Exceptions from `edit` pass through.
std::string updateFileAtomically(const std::string& path, const Files::FileEdit& edit,
                                 MissingFolders folders = MissingFolders::Fail);

// updateFileAtomically with the given bytes, whatever the file held.
std::string replaceFileAtomically(const std::string& path, std::string_view bytes,
                                  MissingFolders folders = MissingFolders::Fail);

}  // namespace tollivane::platform::posix
