// Prints the folder the program finds itself in, for the program folder test. With
// --delete-self it first removes its own file, so that no folder can be found.
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/posix/program_folder.hpp"

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--delete-self") == 0) ::unlink(argv[0]);
  const std::string folder = tollivane::platform::posix::executableFolder();
  std::fwrite(folder.data(), 1, folder.size(), stdout);
  return 0;
}
