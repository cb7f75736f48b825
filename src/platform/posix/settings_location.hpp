// Where the settings file lives on POSIX systems. A copy of the program that keeps, or may
// keep, its settings beside itself is a portable one and does so; an installed program keeps
// them in the user's configuration folder instead.
#pragma once

#include <string>
#include <string_view>

namespace tollivane::platform::posix {

// What the rule needs to know about the program's folder.
struct ProgramFolderFacts {
  bool holdsSettingsFile = false;  // the settings file is already there
  bool writable = false;           // the user may create files there
  bool installed = false;          // PREFIX/bin of an installation, however writable
};

// The folder of the settings file: the program's folder when it holds the file, or when the
// user may write there and it is not installed; otherwise `configFolder`/tollivane.
// An empty `configFolder` (no home known) leaves the program's folder.
std::string chooseSettingsFolder(const std::string& programFolder, const ProgramFolderFacts& facts,
                                 const std::string& configFolder);

// The user's configuration folder: `xdgConfigHome` when it is an absolute path (a relative one
// is ignored, as the XDG base directory rules say), otherwise `home`/.config; empty when
// neither is known. Either argument may be null.
std::string userConfigFolder(const char* xdgConfigHome, const char* home);

// True when `folder` is PREFIX/bin and PREFIX/share/applications holds `desktopEntry`: the
// program was installed there (by a package, or cmake --install), so root, or a user who
// installed into a prefix of their own, can write there without it being a portable copy.
bool isInstalledFolder(const std::string& folder, std::string_view desktopEntry);

// The rule applied to this process: the folder's facts as the effective user sees them, and
// the configuration folder from the environment (the password database when HOME is unset).
std::string settingsFolderFor(const std::string& programFolder, std::string_view fileName);

}  // namespace tollivane::platform::posix
