// Settings files on POSIX systems read whole, shared by the backends that run there.
//
// Only a regular file is ever read: nothing here blocks on a FIFO or reads a device without
// end. Paths may be of any length. Links are followed, except one that another user owns in a
// shared folder (path_walk.hpp): such a path is not read.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <optional>
#include <string>

#include "platform/platform.hpp"

namespace tollivane::platform::posix {

// True when the path, after following links, names anything but a folder: a FIFO or a device
// counts, since it is there, though nothing can be read from it as a file, and so does a link
// that is not followed.
bool isFile(const std::string& path);

// The whole file, or nothing when it cannot be opened or read, is not a regular file or is
// larger than `largest`. Never blocks on what the path names.
std::optional<std::string> readWholeFile(const std::string& path,
                                         std::size_t largest = kMaxFileSize);

// Reads `name` in `folder` when it is a regular file of at most `largest` bytes, without
// blocking on whatever else the name may be and without following a link (the walk to it
// did). `current` stays empty when there is no such file. Returns "" or the reason.
std::string readRegularIn(int folder, const std::string& name, std::optional<std::string>& current,
                          std::size_t largest = kMaxFileSize);

// The reason given for a file of `mode` that is not regular ("is a FIFO, not a regular file").
std::string notRegular(mode_t mode);

}  // namespace tollivane::platform::posix
