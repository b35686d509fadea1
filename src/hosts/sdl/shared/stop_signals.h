#pragma once
// SIGTERM, SIGINT and SIGHUP end the program as they end any other program:
// by the signal. The screen saver's daemon sends SIGTERM when it switches
// hacks or deactivates (and SIGKILL when that is not heeded), and logs a hack
// that dies by it as a normal end; a terminal sends the others.
//
// Once the handlers are installed, the first signal is only recorded and
// wakes the main thread (mainThreadWake): the run ends its frame and lets go
// of what it holds, and the program then dies by the signal (endAsSignalled).
// A second stop signal, or STOP_GRACE_SECONDS without an end (a call that
// waits on a display which no longer answers), ends the process by the first
// signal at once. Before the handlers are installed the signals' default
// action does the same. A signal the program was started with ignored
// stays ignored.

namespace qv::sdl {

inline constexpr unsigned STOP_GRACE_SECONDS = 3;

// Installs the handlers (once; later calls do nothing).
void installStopSignals();
// Whether one of the signals has arrived.
bool stopSignalled();
// After a stop signal: restores its default action and raises it again, which
// ends the process. Returns (doing nothing) when none has come.
void endAsSignalled();

}  // namespace qv::sdl
