// A second Tollivane saving into the same settings file, through the Windows files adapter:
//   settings_writer.exe PATH COUNT TAG
// makes COUNT updates of PATH, each adding the line "TAG N" (N = 1..COUNT) to what the file
// holds, and prints each refusal's reason on standard error and "refused R" on standard output.
// Its exit code is 0 when none was refused, 1 otherwise, 2 for bad arguments.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/win32/win32_files.hpp"

int main(int argc, char* argv[]) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: settings_writer PATH COUNT TAG\n");
    return 2;
  }
  const std::string path = argv[1];
  const int count = std::atoi(argv[2]);
  const std::string tag = argv[3];
  tollivane::platform::win32::Win32Files files;
  int refused = 0;
  for (int n = 1; n <= count; ++n) {
    const std::string line = tag + " " + std::to_string(n) + "\n";
    const std::string reason = files.updateFile(
        path, [&line](const std::optional<std::string>& current) -> std::optional<std::string> {
          return current.value_or("") + line;
        });
    if (!reason.empty()) {
      ++refused;
      std::fprintf(stderr, "%s: %s\n", line.c_str(), reason.c_str());
    }
  }
  std::printf("refused %d\n", refused);
  return refused == 0 ? 0 : 1;
}
