#pragma once
// SIGTERM, SIGINT and SIGHUP ask the animation to end: the screen saver's
// daemon sends SIGTERM when it deactivates (and SIGKILL when that is not
// heeded), a terminal sends the others. The handler only records the request
// and wakes the main thread (mainThreadWake); the animation stops at its next
// frame boundary and the program exits with 0.

namespace qv::sdl {

// Installs the handlers (once; later calls do nothing).
void installStopSignals();
// Whether one of the signals has arrived.
bool stopSignalled();

}  // namespace qv::sdl
