// A second Tollivane saving into the same settings file, through the Windows files adapter:
//   settings_writer.exe PATH COUNT TAG
// makes COUNT updates of PATH, each adding the line "TAG N" (N = 1..COUNT) to what the file
// holds, and prints each refusal's reason on standard error and "refused R" on standard output.
// Its exit code is 0 when none was refused, 1 otherwise, 2 for bad arguments.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "contract/line_appender.hpp"
#include "platform/win32/win32_files.hpp"

int main(int argc, char* argv[]) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: settings_writer PATH COUNT TAG\n");
    return 2;
  }
  tollivane::platform::win32::Win32Files files;
  const auto refused =
      tollivane::contract::appendLines(files, argv[1], std::atoi(argv[2]), argv[3]);
  for (const std::string& reason : refused) std::fprintf(stderr, "%s\n", reason.c_str());
  std::printf("refused %zu\n", refused.size());
  return refused.empty() ? 0 : 1;
}
