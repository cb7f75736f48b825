// The standard streams as the programs need them: the scenario runner's output is compared
// byte for byte with the same files on every OS, and nothing else may ever write into a
// connection that took a closed stream's number.
#pragma once

namespace tollivane {

// Standard input, output and error pass bytes through unchanged, with no line-end translation.
void useBinaryStandardStreams();

// Standard input, output and error that are closed at start are opened on the null device, so
// that the next file or connection opened never takes their numbers. First thing in main.
void openClosedStandardStreams();

}  // namespace tollivane
