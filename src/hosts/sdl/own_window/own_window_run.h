#pragma once
// The animation in the program's own window, which covers the primary
// display; the other displays go dark (dark_displays.h), and the keyboard
// and the mouse steer the cloud.

#include <span>

#include "hosts/portable/resource_table.h"
#include "hosts/portable/scene_options.h"

namespace qv::sdl {

// Returns the exit code: 0 for a normal end, a close, a stop signal and
// after a fatal error's box; 1 when there is no display ("quorvalent: cannot
// open display") or the window cannot be made.
// The pictures come from `resources` (the program's own table unless a test
// build gives another).
int runInOwnWindow(const SceneChoices& choices,
                   std::span<const EmbeddedResource> resources = programResources());

}  // namespace qv::sdl
