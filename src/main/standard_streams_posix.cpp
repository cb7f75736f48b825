#include <fcntl.h>
#include <unistd.h>

#include "standard_streams.hpp"

namespace tollivane {

// POSIX streams never translate line ends.
void useBinaryStandardStreams() {}

// A launcher may start us with 2 closed: the X connection would then be descriptor 2, and the
// first warning written to standard error would go into the X stream and hang it.
void openClosedStandardStreams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1) continue;
    // The lowest free number is this one, since those below it are open by now.
    const int opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened != -1 && opened != fd) close(opened);
  }
}

}  // namespace tollivane
