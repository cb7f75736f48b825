// File operations on POSIX systems, shared by the backends that run there.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tollivane::platform::posix {

// The folder holding the running program, without a trailing '/' except for "/" itself;
// "." when the system cannot tell.
std::string executableFolder();

// True when the path, after following links, names a regular file. Hidden files count,
// folders do not.
bool isFile(const std::string& path);

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::string> readWholeFile(const std::string& path);

// Replaces the file's bytes so that no reader ever sees it torn or empty: a temporary file in
// the same folder, written, flushed to disk and renamed over the target. A link is followed and
// the file it points to is replaced. An existing file keeps its permission bits. Returns "" on
// success, otherwise the reason (for example "No such file or directory"); on failure the
// target is unchanged and no temporary file remains.
std::string replaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace tollivane::platform::posix
