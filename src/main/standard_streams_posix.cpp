#include "standard_streams.hpp"

namespace tollivane {

// POSIX streams never translate line ends.
void useBinaryStandardStreams() {}

}  // namespace tollivane
