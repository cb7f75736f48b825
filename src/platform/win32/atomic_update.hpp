// Settings files on Windows replaced whole, so that no reader ever sees one torn or empty.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.hpp"

namespace tollivane::platform::win32 {

// Replaces the file (bytes larger than kMaxFileSize, a folder and a device are refused, in
// Linux's words): a temporary file beside it, written and flushed, then moved over it with
// write-through. A read-only file is refused, as Windows refuses to write it. A target that a
// reader or scanner holds open is tried again for a few seconds. Returns "" on success,
// otherwise the system's reason; on failure the target is unchanged and no temporary file
// remains.
std::string replaceFileAtomically(const std::string& path, std::string_view bytes);

// Reads the file and replaces it as above with what `edit` makes of it, under a lock that
// other Tollivanes updating the same file in this session wait for, so that none of their
// updates is lost. Returns as replaceFileAtomically does; a file that is there but cannot be
// read is left alone.
std::string updateFileAtomically(const std::string& path, const Files::FileEdit& edit);

}  // namespace tollivane::platform::win32
