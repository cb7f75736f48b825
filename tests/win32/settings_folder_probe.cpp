// Where the Windows files adapter keeps the settings of a program in this probe's folder, and
// whether a save lands there:
//   settings_folder_probe.exe   ->   "folder F" and then "saved" or "refused REASON"
#include <cstdio>
#include <optional>
#include <string>

#include "platform/win32/win32_files.hpp"

int main() {
  tollivane::platform::win32::Win32Files files;
  const std::string file = files.settingsFile("Tollivane.ini");
  std::printf("folder %s\n", file.substr(0, file.rfind('\\')).c_str());
  const std::string reason = files.updateFile(file, [](const std::optional<std::string>& current) {
    return std::optional<std::string>(current.value_or("") + "[main]\r\nhotkey1=116\r\n");
  });
  if (reason.empty()) {
    std::printf("saved\n");
  } else {
    std::printf("refused %s\n", reason.c_str());
  }
  return 0;
}
