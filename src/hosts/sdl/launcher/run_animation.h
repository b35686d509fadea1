#pragma once
// The animation run as the command line asks for it: in the program's own
// window (own_window_run.h) or inside an existing X11 window
// (foreign_window_run.h), until the animation ends, the window is closed or
// a stop signal arrives.

#include <span>

#include "hosts/portable/resource_table.h"
#include "hosts/sdl/launcher/command_line.h"

namespace qv::sdl {

// Returns the process's exit code: 0 for a normal end, a close, a stop
// signal and after a fatal error's box; 1 when there is no display ("quorvalent:
// cannot open display") or the window cannot be made.
// The pictures come from `resources` (the program's own table unless a test
// build gives another).
int runAnimation(const LaunchRequest& request,
                 std::span<const EmbeddedResource> resources = programResources());

}  // namespace qv::sdl
