// Where the settings file lives on Windows. A copy of the program in a folder of the user's
// own is portable and keeps its settings beside itself; under Program Files, or in a folder
// that Controlled Folder Access guards, nothing can be written beside it (and its manifest
// turns the system's file virtualisation off), so the settings go to the user's roaming
// application data instead.
#pragma once

#include <string>
#include <string_view>

namespace tollivane::platform::win32 {

// What the rule needs to know about the program's folder.
struct ProgramFolderFacts {
  bool holdsSettingsFile = false;  // the settings file is already there
  bool writable = false;           // a file can be made there
};

// The program's folder when it holds the file or can be written; otherwise `appData`\Tollivane.
// An empty `appData` (none known) leaves the program's folder.
std::string chooseSettingsFolder(const std::string& programFolder, const ProgramFolderFacts& facts,
                                 const std::string& appData);

// The user's roaming application data folder: %APPDATA% when it is an absolute path, else
// the system's known folder; empty when neither is known.
std::string roamingAppData();

// True when a file can be made in `folder` now: tried with one that is gone again at once,
// since permissions, read-only media and Controlled Folder Access all answer only that way.
bool canCreateFilesIn(const std::string& folder);

// The rule applied to this process.
std::string settingsFolderFor(const std::string& programFolder, std::string_view fileName);

// Creates `folder` and any missing parents. Returns "" when the folder is there afterwards,
// otherwise the system's reason.
std::string makeFolders(const std::string& folder);

}  // namespace tollivane::platform::win32
