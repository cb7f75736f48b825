// Xlib's error handlers are global to the process; these route the errors of our own
// connections here and leave every other connection (the toolkit's) to its previous handler.
#pragma once

struct _XDisplay;

namespace tollivane::platform::x11 {

// From now on an X error on `display` is counted and otherwise ignored, and losing the
// connection ends the program with one line on standard error.
void trapErrorsOf(_XDisplay* display);
void stopTrapping(_XDisplay* display);

// Puts our handlers back in front after a toolkit opened its own connection and replaced
// them; the toolkit's handlers go on serving its connection.
void reclaimErrorHandlers();

// Says so in one line on standard error and ends the program at once.
[[noreturn]] void lostConnection();

// Errors counted on `display` so far.
unsigned long trappedErrorCount(_XDisplay* display);

}  // namespace tollivane::platform::x11
