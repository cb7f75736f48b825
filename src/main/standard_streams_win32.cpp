#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "standard_streams.hpp"

namespace tollivane {

// The C runtime opens them in text mode, which writes "\n" as "\r\n".
void useBinaryStandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

// Windows hands out handles, not the lowest free number: a closed stream is never taken over.
void openClosedStandardStreams() {}

}  // namespace tollivane
