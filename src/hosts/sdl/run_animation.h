#pragma once
// The animation run: the window (its own, covering the primary display with
// the other displays dark, or an existing X11 window), the worker thread with
// the animation, and the main thread's event loop until the animation ends or
// the window is closed.

#include <span>

#include "hosts/portable/resource_table.h"
#include "hosts/sdl/command_line.h"

namespace qv::sdl {

// Returns the process's exit code: 0 for a normal end and a close, 1 when
// there is no display or the window cannot be made.
// The pictures come from `resources` (the program's own table unless a test
// build gives another).
int runAnimation(const LaunchRequest& request,
                 std::span<const EmbeddedResource> resources = programResources());

}  // namespace qv::sdl
