#pragma once
// The animation run: the window (its own, covering the primary display, or an
// existing X11 window), the worker thread with the animation, and the main
// thread's event loop until the animation ends or the window is closed.

#include "host/sdl/command_line.h"

namespace qv::sdl {

// Returns the process's exit code: 0 for a normal end and a close, 1 when
// there is no display or the window cannot be made.
int runAnimation(const LaunchRequest& request);

}  // namespace qv::sdl
