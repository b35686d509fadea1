#pragma once
// The animation inside an X11 window the program did not create: the screen
// saver's window (-root under the daemon, which names it in
// XSCREENSAVER_WINDOW), a window named by -window-id, or the root window.
// Frames go to the window with Xlib directly; the window's resizes are
// followed, and the window is left as it was: mapped, not destroyed. When its
// owner destroys it first, the program ends quietly. The controls legend is
// left out: the window's keys and mouse go to its owner.

#include <cstdint>
#include <span>

#include "hosts/portable/resource_table.h"
#include "hosts/portable/scene_options.h"

namespace qv::sdl {

// Draws into window `windowId` of the display $DISPLAY names, or into its
// root window for 0. Returns the exit code: 0 for an end by signal, by the
// window's destruction or after a fatal error's box; 1 when there is no
// display or the window cannot be drawn into (with one line on standard
// error).
int runInForeignWindow(std::uint64_t windowId, const SceneChoices& choices,
                       std::span<const EmbeddedResource> resources = programResources());

}  // namespace qv::sdl
