#pragma once
// The animation run: in the program's own window covering the primary
// display (SDL) with the other displays dark, or inside an existing X11
// window (foreign_window_run.h); the worker thread with the animation, and
// the main thread's event loop until the animation ends, the window is
// closed or a stop signal arrives.

#include <span>

#include "hosts/portable/resource_table.h"
#include "hosts/sdl/command_line.h"

namespace qv::sdl {

// Returns the process's exit code: 0 for a normal end, a close, a stop
// signal and after a fatal error's box; 1 when there is no display ("quorvalent:
// cannot open display") or the window cannot be made.
// The pictures come from `resources` (the program's own table unless a test
// build gives another).
int runAnimation(const LaunchRequest& request,
                 std::span<const EmbeddedResource> resources = programResources());

}  // namespace qv::sdl
