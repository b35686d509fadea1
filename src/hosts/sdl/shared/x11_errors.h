#pragma once
// X errors, recorded instead of fatal. Xlib's default handler prints the
// error and ends the process; but the program's window may be destroyed by
// another client at any time (the screen saver's daemon does it at every
// deactivation, a user may close the full-screen window with a tool), and the
// calls in flight then fail with BadWindow or BadDrawable. The program notes
// that and ends quietly; a connection the server drops ends the program
// quietly too, with 0.

#include <X11/Xlib.h>

namespace qv::sdl {

// Replaces the process's X error and I/O error handlers (installed again
// after a library such as SDL set its own).
void recordXErrors();

// The window whose loss ends the program; 0 (the start): any window's.
// Errors about other windows (a dark window on a display that just went)
// are harmless and only counted.
void watchWindow(unsigned long window);

// Whether an error since the last call said that the watched window (or a
// drawable of it) does not exist; clears the note.
bool takeWindowGoneError();

// Errors of any kind so far (a change across XSync tells a request failed).
int xErrorCount();

}  // namespace qv::sdl
