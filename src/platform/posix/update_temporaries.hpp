// The temporary files an update writes beside its target before renaming them over it.
//
// They take the first free of a few fixed names: stale ones are found by name, which needs no
// listing of the folder (that may be written but not read). Where leftovers hold all of them,
// a name of the process's own is taken, so that leftovers never stop a save.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "platform/posix/descriptor.hpp"

namespace tollivane::platform::posix {

// True for the name of a temporary file that an update of `fileName` makes.
bool isTemporaryOf(std::string_view name, std::string_view fileName);

// A new temporary for `fileName` in `folder`, opened for writing with `mode` (before the
// umask), its name in `temporary`; -1 with errno set when none can be made.
Descriptor createTemporary(int folder, const std::string& fileName, mode_t mode,
                           std::string& temporary);

// Removes the temporaries of updates that were cut off (the process killed mid-write) once
// they are stale, and what else stands under their names and can go without following a link.
void removeStaleTemporaries(int folder, const std::string& fileName);

}  // namespace tollivane::platform::posix
