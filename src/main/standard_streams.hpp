// The scenario runner's output is compared byte for byte with the same files on every OS.
#pragma once

namespace tollivane {

// Standard input, output and error pass bytes through unchanged, with no line-end translation.
void useBinaryStandardStreams();

}  // namespace tollivane
